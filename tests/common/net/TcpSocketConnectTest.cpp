#include "FakeSystemCalls.h"
#include "FreePort.h"
#include "LoopbackPair.h"
#include "net/TcpSocket.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>

namespace {

class TcpSocketConnect : public testing::TestWithParam<bool>
{ };

TEST_P(TcpSocketConnect, ConnectsToALoopbackServerByNameOrAddress)
{
    LoopbackPair pair(GetParam());
    ASSERT_TRUE(pair.ready());
    EXPECT_EQ(pair.client.port(), pair.port.number());
    EXPECT_EQ(TcpSocket::pendingLookups(), 0); // a finished lookup's helper is gone
    std::string address;
    EXPECT_TRUE(pair.client.peerAddress(address));
    EXPECT_EQ(address, "127.0.0.1");
    EXPECT_TRUE(pair.accepted->peerAddress(address));
    EXPECT_EQ(address, "127.0.0.1");
}

TEST_P(TcpSocketConnect, AHostNameThatDoesNotResolveGivesCode1)
{
    FakeSystemCalls fake; // answers "not found" for the name without asking a name server
    TcpSocket socket(GetParam());
    EXPECT_FALSE(socket.connect("pager.invalid", "444"));
    EXPECT_EQ(socket.lastError(), 1);
    EXPECT_NE(socket.lastErrorText().find("pager.invalid"), std::string::npos);
    EXPECT_FALSE(socket.isOpen());
}

TEST_P(TcpSocketConnect, EveryLookupFailureGivesCode1)
{
    FakeSystemCalls fake;
    for (const int code : {EAI_NONAME, EAI_AGAIN, EAI_FAIL, EAI_MEMORY}) {
        fake.failLookups(code);
        TcpSocket socket(GetParam());
        EXPECT_FALSE(socket.connect("localhost", "444"));
        EXPECT_EQ(socket.lastError(), 1) << gai_strerror(code);
        EXPECT_NE(socket.lastErrorText().find(gai_strerror(code)), std::string::npos)
            << socket.lastErrorText();
    }
}

INSTANTIATE_TEST_SUITE_P(LookupKinds, TcpSocketConnect, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& param) {
                             return param.param ? "Cancellable" : "Blocking";
                         });

TEST(TcpSocketConnect, AClosedPortGivesCode4WithHostAndPort)
{
    FreePort port;
    TcpSocket socket;
    EXPECT_FALSE(socket.connect("127.0.0.1", port.text()));
    EXPECT_EQ(socket.lastError(), 4);
    EXPECT_NE(socket.lastErrorText().find("127.0.0.1"), std::string::npos);
    EXPECT_NE(socket.lastErrorText().find(port.text()), std::string::npos);
    EXPECT_FALSE(socket.isOpen());
}

TEST(TcpSocketConnect, PortNamesOfAnyProtocolCountButUnknownOnesGiveCode2)
{
    TcpSocket socket;
    EXPECT_FALSE(socket.connect("127.0.0.1", "no-such-service"));
    EXPECT_EQ(socket.lastError(), 2);
    EXPECT_NE(socket.lastErrorText().find("no-such-service"), std::string::npos);
    // "biff" is a udp service only: it is found, and nobody listens on its port.
    EXPECT_FALSE(socket.connect("127.0.0.1", "biff"));
    EXPECT_EQ(socket.lastError(), 4) << socket.lastErrorText();
}

TEST(TcpSocketConnect, TheHostIsLookedUpBeforeThePort)
{
    FakeSystemCalls fake;
    TcpSocket socket;
    EXPECT_FALSE(socket.connect("pager.invalid", "no-such-service"));
    EXPECT_EQ(socket.lastError(), 1);
}

TEST(TcpSocketConnect, SystemFailuresMapToTheirCodes)
{
    const struct
    {
        int error;
        int code;
    } cases[] = {{ENETUNREACH, 5},
                 {ETIMEDOUT, 6},
                 {ECONNREFUSED, 4},
                 {EHOSTUNREACH, 100 + EHOSTUNREACH},
                 {EACCES, 100 + EACCES}};
    FakeSystemCalls fake;
    for (const auto& c : cases) {
        fake.failConnect(c.error);
        TcpSocket socket;
        EXPECT_FALSE(socket.connect("127.0.0.1", "444"));
        EXPECT_EQ(socket.lastError(), c.code) << socket.lastErrorText();
        EXPECT_FALSE(socket.isOpen());
    }
    fake.failConnect(0);
    fake.failSocket(EMFILE);
    TcpSocket socket;
    EXPECT_FALSE(socket.connect("127.0.0.1", "444"));
    EXPECT_EQ(socket.lastError(), 3) << socket.lastErrorText();
}

// A listener with a backlog of 0 takes one connection into its queue and drops the handshakes
// of further ones, so their connects hang until the time limit.
TEST(TcpSocketConnect, AConnectTimeLimitEndsAHangingConnectWithCode6)
{
    FreePort port;
    TcpSocket server;
    ASSERT_TRUE(server.bind(port.text()));
    EXPECT_EQ(server.acceptConnection(1, 0), nullptr);
    TcpSocket queued;
    queued.setConnectTimeout(2000);
    ASSERT_TRUE(queued.connect("127.0.0.1", port.text())) << queued.lastErrorText();
    TcpSocket hanging;
    hanging.setConnectTimeout(200);
    EXPECT_FALSE(hanging.connect("127.0.0.1", port.text()));
    EXPECT_EQ(hanging.lastError(), 6) << hanging.lastErrorText();
    EXPECT_FALSE(hanging.isOpen());
}

TEST(TcpSocketConnect, ATimeLimitedConnectLeavesABlockingSocket)
{
    FreePort port;
    TcpSocket server;
    ASSERT_TRUE(server.bind(port.text()));
    EXPECT_EQ(server.acceptConnection(1, 5), nullptr);
    TcpSocket client;
    client.setConnectTimeout(2000);
    ASSERT_TRUE(client.connect("127.0.0.1", port.text())) << client.lastErrorText();
    EXPECT_EQ(fcntl(client.handle(), F_GETFL) & O_NONBLOCK, 0);
    TcpSocket refused;
    refused.setConnectTimeout(2000);
    EXPECT_FALSE(refused.connect("127.0.0.1", FreePort().text()));
    EXPECT_EQ(refused.lastError(), 4);
}

TEST(TcpSocketConnect, ConnectingAgainReplacesTheConnection)
{
    LoopbackPair pair;
    ASSERT_TRUE(pair.ready());
    ASSERT_TRUE(pair.client.connect("127.0.0.1", pair.port.text()));
    std::unique_ptr<TcpSocket> second = pair.server.acceptConnection(5000, 5);
    ASSERT_NE(second, nullptr);
    // The first connection was closed: its accepted end sees the close.
    char byte = 0;
    std::size_t length = 1;
    EXPECT_TRUE(pair.accepted->receive(&byte, length, 5000));
    EXPECT_EQ(length, 0u);
    EXPECT_TRUE(pair.client.isOpen());
}

TEST(TcpSocketResolve, GivesTheFirstIPv4AddressOrFails)
{
    FakeSystemCalls fake;
    const struct
    {
        const char* host;
        const char* address; // nullptr: must fail
    } cases[] = {{"localhost", "127.0.0.1"},
                 {"127.0.0.1", "127.0.0.1"},
                 {"127.0.0.2", "127.0.0.2"},
                 {"pager.invalid", nullptr},
                 {"", nullptr}};
    for (const auto& c : cases) {
        std::string address = "unchanged";
        EXPECT_EQ(TcpSocket::resolveHost(c.host, address), c.address != nullptr) << c.host;
        EXPECT_EQ(address, c.address != nullptr ? c.address : "unchanged") << c.host;
    }
}

} // namespace
