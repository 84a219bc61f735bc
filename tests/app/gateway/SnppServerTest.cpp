// The gateway thread over real loopback TCP: settings, allow list, host check, sessions,
// restart and shutdown.
#include "GatewayServerFixture.h"
#include "net/TcpSocket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

namespace {

using namespace std::chrono_literals;

TEST_F(GatewayServerTest, DisabledGatewayLogsItsSettingsAndEnds)
{
    world.configure(false, port.text(), true);
    start();
    ASSERT_TRUE(server->waitForEnd(5s));
    EXPECT_EQ(server->state(), ThreadState::Finished);
    EXPECT_TRUE(world.logHas("8,"));
    EXPECT_TRUE(world.logHas("SNPP:Start thread (enabled=0, port=" + port.text()
                             + ", allowHosts=, fromAdbOnly=1)"));
    EXPECT_TRUE(world.logHas("6,"));
    EXPECT_TRUE(world.logHas("SNPP:Disabled - ending thread"));
    EXPECT_EQ(server->listeningPort(), 0);
}

TEST_F(GatewayServerTest, APortThatCannotBeBoundEndsTheThreadWithTheErrorCode)
{
    TcpSocket holder;
    ASSERT_TRUE(holder.bind(port.text()));
    ASSERT_EQ(holder.acceptConnection(1, 5), nullptr); // listening now
    world.configure(true, port.text());
    start();
    ASSERT_TRUE(server->waitForEnd(5s));
    EXPECT_TRUE(world.logHas("SNPP:Cannot open server port (erc=7)"));

    world.configure(true, "no-such-service-name");
    server->restart();
    ASSERT_TRUE(world.waitForLog("SNPP:Cannot open server port (erc=2)", 5000));
    EXPECT_TRUE(server->waitForEnd(5s));
}

TEST_F(GatewayServerTest, TheStatusTellsWhatEachReadingOfTheSettingsLedTo)
{
    world.configure(false, port.text());
    start();
    ASSERT_TRUE(server->waitForEnd(5s));
    GatewayStatus status = server->status();
    EXPECT_EQ(status.outcome, GatewayOutcome::Disabled);
    EXPECT_EQ(status.port, port.text());
    const unsigned disabledSerial = status.serial;
    EXPECT_GT(disabledSerial, 0U);

    TcpSocket holder;
    ASSERT_TRUE(holder.bind(port.text()));
    ASSERT_EQ(holder.acceptConnection(1, 5), nullptr); // listening now
    world.configure(true, port.text());
    server->restart();
    ASSERT_TRUE(server->waitForEnd(5s));
    status = server->status();
    EXPECT_EQ(status.outcome, GatewayOutcome::PortFailed);
    EXPECT_EQ(status.error, 7);
    EXPECT_FALSE(status.errorText.empty());
    EXPECT_GT(status.serial, disabledSerial);

    holder.close();
    server->restart();
    ASSERT_TRUE(waitListening(port.number()));
    status = server->status();
    EXPECT_EQ(status.outcome, GatewayOutcome::Listening);
    EXPECT_EQ(status.error, 0);
    EXPECT_TRUE(status.errorText.empty());

    server->requestShutdown();
    ASSERT_TRUE(server->waitForEnd(5s));
    EXPECT_EQ(server->status().outcome, GatewayOutcome::Stopped);
    EXPECT_EQ(server->status().serial, status.serial + 1);
}

TEST_F(GatewayServerTest, AnEmptyHostsKeyRefusesEveryClient)
{
    world.configure(true, port.text());
    start();
    ASSERT_TRUE(waitListening(port.number()));
    GatewayClient client(port.number());
    ASSERT_TRUE(client.connected());
    EXPECT_EQ(client.readLine(), "421 Your host is denied access");
    EXPECT_TRUE(client.waitForClose());
    EXPECT_TRUE(world.waitForLog("3,", 2000));
    EXPECT_TRUE(world.waitForLog("SNPP:Remote host (127.0.0.1) access denied", 2000));
    EXPECT_FALSE(world.logHas("Connection accepted"));
}

TEST_F(GatewayServerTest, AHostNotInTheListIsRefused)
{
    world.configure(true, port.text());
    world.allowHost("127.0.0.2");
    start();
    ASSERT_TRUE(waitListening(port.number()));
    GatewayClient client(port.number());
    EXPECT_EQ(client.readLine(), "421 Your host is denied access");
    EXPECT_TRUE(client.waitForClose());
}

TEST_F(GatewayServerTest, AStarAdmitsEveryHostAndEndsTheReading)
{
    world.configure(true, port.text());
    world.allowHost("*all");
    world.allowHost("zz.unresolvable.test");
    start();
    ASSERT_TRUE(waitListening(port.number()));
    GatewayClient client(port.number());
    EXPECT_EQ(client.readLine(), "220 I'm ready");
    EXPECT_TRUE(world.logHas("SNPP:Allow All Hosts"));
    EXPECT_FALSE(world.logHas("zz.unresolvable.test"));
}

TEST_F(GatewayServerTest, HostNamesAreResolvedAtStartAndFailuresSkipped)
{
    world.configure(true, port.text());
    world.allowHost("gone.unresolvable.test");
    world.allowHost("localhost");
    start();
    ASSERT_TRUE(waitListening(port.number()));
    EXPECT_TRUE(world.logHas("3,"));
    EXPECT_TRUE(world.logHas("SNPP:Allow Host Failed: cannot get gone.unresolvable.test IP"));
    EXPECT_TRUE(world.logHas("SNPP:Allow Host (host=localhost,ip=127.0.0.1)"));
    GatewayClient client(port.number());
    EXPECT_EQ(client.readLine(), "220 I'm ready");
    EXPECT_TRUE(world.waitForLog("5,", 2000));
    EXPECT_TRUE(world.waitForLog("SNPP:Connection accepted from host(127.0.0.1)", 2000));
}

TEST_F(GatewayServerTest, AClientWhoseAddressCannotBeHadIsRefused)
{
    calls.failPeer = true;
    ASSERT_TRUE(startListening());
    GatewayClient client(port.number());
    EXPECT_EQ(client.readLine(), "421 Your host address is unknown");
    EXPECT_TRUE(client.waitForClose());
    EXPECT_TRUE(world.waitForLog("SNPP:Remote host denied (identity cannot be verified,"
                                     + std::to_string(100 + ENOTCONN) + ")",
                                 2000));
}

TEST_F(GatewayServerTest, AWholeSessionRelaysThroughTheSender)
{
    world.addEntry("pin1234", "555-1234/1234");
    ASSERT_TRUE(startListening());
    GatewayClient client(port.number());
    EXPECT_EQ(client.readLine(), "220 I'm ready");
    EXPECT_EQ(client.ask("PAGE 1234"), "250 ID accepted");
    EXPECT_EQ(client.ask("PAGE host.example!9"), "250 ID accepted");
    EXPECT_EQ(client.ask("PAGE 4321"), "550 Bad address (4)");
    EXPECT_EQ(client.ask("MESS Disk full on db1"), "250 Message accepted");
    EXPECT_EQ(client.ask("SEND"), "250 Send successful");
    sender.answer(true, 1, 1);
    EXPECT_EQ(client.ask("SENDNOW"), "250 Send completed - succ=1, failed=1");
    sender.answer(false, 0, 0);
    EXPECT_EQ(client.ask("send"), "550 Send failed");
    EXPECT_EQ(client.ask("QUIT"), "221 Okay, Good Bye!");
    EXPECT_TRUE(client.waitForClose());

    // Each SEND clears the list and the message: the later ones relay nothing again.
    const std::vector<RecordedSend> sends = sender.sends();
    ASSERT_EQ(sends.size(), 3U);
    EXPECT_EQ(sends[0].recipients, ";pin1234;host.example!9");
    EXPECT_EQ(sends[0].message, "Disk full on db1");
    for (std::size_t k = 1; k < sends.size(); ++k) {
        EXPECT_EQ(sends[k].recipients, "");
        EXPECT_EQ(sends[k].message, "");
    }
    for (const RecordedSend& send : sends) {
        EXPECT_EQ(send.originTag, "SNPP(127.0.0.1)");
    }
    EXPECT_TRUE(world.waitForLog("SNPP:<127.0.0.1> closing connection", 2000));
    EXPECT_TRUE(world.logHas("11,"));
    EXPECT_TRUE(world.logHas("SNPP:<127.0.0.1> cmd=Send failed"));
}

TEST_F(GatewayServerTest, EachConnectionStartsWithAnEmptyListAndMessage)
{
    ASSERT_TRUE(startListening());
    {
        GatewayClient first(port.number());
        EXPECT_EQ(first.readLine(), "220 I'm ready");
        EXPECT_EQ(first.ask("PAGE 555-1234/12"), "250 ID accepted");
        EXPECT_EQ(first.ask("MESS from the first client"), "250 Message accepted");
        EXPECT_EQ(first.ask("QUIT"), "221 Okay, Good Bye!");
    }
    sender.answer(true, 0, 0);
    GatewayClient second(port.number());
    EXPECT_EQ(second.readLine(), "220 I'm ready");
    EXPECT_EQ(second.ask("SEND"), "550 Send failed");
    ASSERT_EQ(sender.sends().size(), 1U);
    EXPECT_EQ(sender.sends()[0].recipients, "");
    EXPECT_EQ(sender.sends()[0].message, "");
    EXPECT_TRUE(world.waitForLog("SNPP:<127.0.0.1> cmd=Send - all msg failed", 2000));
}

TEST_F(GatewayServerTest, ALostClientGetsThePartialLineThenGoodbye)
{
    ASSERT_TRUE(startListening());
    GatewayClient client(port.number());
    EXPECT_EQ(client.readLine(), "220 I'm ready");
    ASSERT_TRUE(client.send("HELP\r\nPAGE 12"));
    client.shutdownWrite();
    EXPECT_EQ(client.readLine(), "218 Er... help? Are you kidding?");
    EXPECT_EQ(client.readLine(), "400 Read timeout  (PAGE 12)");
    EXPECT_EQ(client.readLine(), "221 Lost connection. Bye!");
    EXPECT_TRUE(client.waitForClose());
    EXPECT_TRUE(world.waitForLog("10,", 2000));
    EXPECT_TRUE(world.waitForLog("SNPP:<127.0.0.1> closing connection", 2000));
}

TEST_F(GatewayServerTest, OneClientIsServedAtATime)
{
    ASSERT_TRUE(startListening());
    GatewayClient first(port.number());
    EXPECT_EQ(first.readLine(), "220 I'm ready");
    GatewayClient second(port.number());
    ASSERT_TRUE(second.connected());
    EXPECT_EQ(second.readLine(300), std::nullopt);
    EXPECT_EQ(first.ask("QUIT"), "221 Okay, Good Bye!");
    EXPECT_EQ(second.readLine(), "220 I'm ready");
}

TEST_F(GatewayServerTest, RestartReadsTheSettingsAgainAndBindsTheNewPort)
{
    ASSERT_TRUE(startListening());
    FreePort other;
    world.configure(true, other.text(), false, true);
    server->restart();
    ASSERT_TRUE(waitListening(other.number()));
    EXPECT_TRUE(world.logHas("10,"));
    EXPECT_TRUE(world.logHas("SNPP:Received signal (2)"));
    EXPECT_EQ(server->signalValue(), SnppServer::noSignal);
    GatewayClient client(other.number());
    EXPECT_EQ(client.readLine(), "220 I'm ready");
    EXPECT_EQ(client.ask("LOGI user"), "250 Login accepted");
    GatewayClient old(port.number());
    EXPECT_FALSE(old.connected());
}

TEST_F(GatewayServerTest, ARestartWaitsUntilTheClientBeingServedHasGone)
{
    ASSERT_TRUE(startListening());
    GatewayClient client(port.number());
    EXPECT_EQ(client.readLine(), "220 I'm ready");
    world.configure(true, port.text(), false, true);
    server->requestRestart();
    std::this_thread::sleep_for(100ms);
    // Still the old settings, for the client being served.
    EXPECT_EQ(client.ask("LOGI user"), "581 Wa-What?");
    EXPECT_FALSE(world.logHas("Received signal"));
    EXPECT_EQ(client.ask("QUIT"), "221 Okay, Good Bye!");
    ASSERT_TRUE(world.waitForLog("SNPP:Received signal (2)", 5000));
    ASSERT_TRUE(waitListening(port.number()));
    GatewayClient next(port.number());
    EXPECT_EQ(next.readLine(), "220 I'm ready");
    EXPECT_EQ(next.ask("LOGI user"), "250 Login accepted");
}

TEST_F(GatewayServerTest, RestartStartsAnEndedThreadAgain)
{
    world.configure(false, port.text());
    world.allowHost("127.0.0.1");
    start();
    ASSERT_TRUE(server->waitForEnd(5s));
    world.configure(true, port.text());
    server->restart();
    ASSERT_TRUE(waitListening(port.number()));
    GatewayClient client(port.number());
    EXPECT_EQ(client.readLine(), "220 I'm ready");
}

TEST_F(GatewayServerTest, ShutdownEndsTheWaitForAConnectionAtOnce)
{
    ASSERT_TRUE(startListening());
    const auto begin = std::chrono::steady_clock::now();
    server->requestShutdown();
    ASSERT_TRUE(server->waitForEnd(5s));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 2s);
    EXPECT_TRUE(world.logHas("SNPP:Stop requested - ending thread"));
    EXPECT_FALSE(GatewayClient(port.number()).connected());
}

TEST_F(GatewayServerTest, ShutdownGivesUpASilentClient)
{
    ASSERT_TRUE(startListening());
    GatewayClient client(port.number());
    EXPECT_EQ(client.readLine(), "220 I'm ready");
    ASSERT_TRUE(client.send("PAGE 5"));
    std::this_thread::sleep_for(50ms);
    const auto begin = std::chrono::steady_clock::now();
    server->requestShutdown();
    ASSERT_TRUE(server->waitForEnd(5s));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 2s);
    EXPECT_TRUE(client.waitForClose());
    EXPECT_TRUE(world.logHas("SNPP:<127.0.0.1> closing connection"));
}

} // namespace
