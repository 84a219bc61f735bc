// Clients that wait: a burst that queues on the listening socket, clients queued across a
// restart, and a client that trickles its bytes to hold the one-at-a-time gateway.
#include "ClientBurst.h"
#include "GatewayServerFixture.h"
#include "gateway/GatewaySettings.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

TEST_F(GatewayServerTest, TwoHundredClientsConnectingAtOnceAreAllServed)
{
    ASSERT_TRUE(startListening());
    // Each waits for the greeting, as SNPP clients do; a queue too short for them drops the
    // connections beyond it, and those are served only after repeated connect attempts.
    const ClientBurst::Outcome outcome = ClientBurst::run(port.number(), 200, 20000);
    EXPECT_EQ(outcome.served, 200);
    EXPECT_EQ(outcome.dropped, 0);
}

TEST_F(GatewayServerTest, ARestartOnTheSamePortServesTheClientsQueuedOnIt)
{
    ASSERT_TRUE(startListening());
    GatewayClient first(port.number());
    ASSERT_EQ(first.readLine(), "220 I'm ready");
    GatewayClient queued(port.number());
    ASSERT_TRUE(queued.connected());
    // As SIGHUP asks for it; the gateway restarts once the client it serves has gone.
    server->requestRestart();
    EXPECT_EQ(first.ask("QUIT"), "221 Okay, Good Bye!");
    EXPECT_EQ(queued.readLine(), "220 I'm ready");
    EXPECT_EQ(queued.ask("QUIT"), "221 Okay, Good Bye!");
    EXPECT_TRUE(world.waitForLog("SNPP:Received signal (2)", 2000));
    EXPECT_EQ(server->listeningPort(), port.number());
}

TEST_F(GatewayServerTest, ASessionEndsWhenItsTimeIsUpHoweverTheClientTrickles)
{
    SettingsKey settings(RootKey::CurrentUser, GatewaySettings::SnppSrv::key);
    ASSERT_TRUE(settings.setNumber("sessionTimeoutMs", 1000));
    ASSERT_TRUE(startListening());
    GatewayClient client(port.number());
    ASSERT_EQ(client.readLine(), "220 I'm ready");
    // A byte every 100 ms, far within the 30 s each byte may take: without a bound on the
    // session the client would hold the gateway for as long as it likes.
    const auto start = Clock::now();
    ASSERT_TRUE(client.send("HELP\r\n"));
    ASSERT_EQ(client.readLine(), "218 Er... help? Are you kidding?");
    const std::string line = "PAGE 5551234/12345678901234567890123456789012345678901234567890";
    std::optional<std::string> reply;
    for (std::size_t k = 0; k < line.size() && !reply; ++k) {
        ASSERT_TRUE(client.send(line.substr(k, 1)));
        reply = client.readLine(100);
    }
    ASSERT_TRUE(reply.has_value()) << "the trickling client was never cut off";
    EXPECT_EQ(reply->rfind("400 Read timeout  (PAGE 555", 0), 0U) << *reply;
    EXPECT_EQ(client.readLine(), "221 Lost connection. Bye!");
    EXPECT_TRUE(client.waitForClose());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(world.waitForLog("SNPP:<127.0.0.1> session time (1000 ms) is up", 2000));

    // The next client has a session of its own.
    GatewayClient next(port.number());
    EXPECT_EQ(next.readLine(), "220 I'm ready");
    EXPECT_EQ(next.ask("QUIT"), "221 Okay, Good Bye!");
}

TEST_F(GatewayServerTest, ASessionTimeOfZeroOrLessMeansTheDefault)
{
    SettingsKey settings(RootKey::CurrentUser, GatewaySettings::SnppSrv::key);
    ASSERT_TRUE(settings.setNumber("sessionTimeoutMs", 0));
    ASSERT_TRUE(startListening());
    GatewayClient client(port.number());
    ASSERT_EQ(client.readLine(), "220 I'm ready");
    EXPECT_EQ(client.ask("HELP"), "218 Er... help? Are you kidding?");
    EXPECT_EQ(client.ask("QUIT"), "221 Okay, Good Bye!");
}

} // namespace
