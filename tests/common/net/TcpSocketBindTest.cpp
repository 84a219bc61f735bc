#include "FakeSystemCalls.h"
#include "FreePort.h"
#include "LoopbackPair.h"
#include "net/TcpSocket.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Whether a plain socket can bind the port on every address right now.
bool portIsFree(int port)
{
    const int handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool bound
        = ::bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(handle);
    return bound;
}

int intOption(int handle, int name)
{
    int value = -1;
    socklen_t length = sizeof value;
    EXPECT_EQ(getsockopt(handle, SOL_SOCKET, name, &value, &length), 0);
    return value;
}

struct BindCase
{
    const char* text;
    int port;
};

class TcpSocketBind : public testing::TestWithParam<BindCase>
{ };

// The ports come from the services database; another program on the machine may hold one, and
// then the bind must fail as "in use" exactly where a plain bind of that number fails.
TEST_P(TcpSocketBind, BindsThePortOfANumberOrServiceName)
{
    const BindCase& c = GetParam();
    TcpSocket socket;
    if (socket.bind(c.text)) {
        EXPECT_EQ(socket.localPort(), c.port);
        EXPECT_EQ(socket.port(), c.port);
        EXPECT_FALSE(portIsFree(c.port));
    } else {
        EXPECT_EQ(socket.lastError(), 7) << socket.lastErrorText();
        EXPECT_FALSE(portIsFree(c.port));
    }
}

INSTANTIATE_TEST_SUITE_P(Ports, TcpSocketBind,
                         testing::Values(BindCase {"444", 444}, BindCase {"snpp", 444},
                                         BindCase {"svn", 3690}, BindCase {" 3690", 3690},
                                         BindCase {"3690/tcp", 3690}));

TEST(TcpSocketBind, PortTextsThatNameNoTcpPortGiveCode2)
{
    for (const char* text : {"no-such-service", "biff", "0", "", "70000", "-5"}) {
        TcpSocket socket;
        EXPECT_FALSE(socket.bind(text)) << text;
        EXPECT_EQ(socket.lastError(), 2) << text;
        EXPECT_NE(socket.lastErrorText().find(text), std::string::npos) << socket.lastErrorText();
        EXPECT_FALSE(socket.isOpen());
    }
}

TEST(TcpSocketBind, APortAnotherSocketHoldsGivesCode7)
{
    FreePort port;
    TcpSocket holder;
    ASSERT_TRUE(holder.bind(port.text())) << holder.lastErrorText();
    TcpSocket second;
    EXPECT_FALSE(second.bind(port.text()));
    EXPECT_EQ(second.lastError(), 7);
    EXPECT_NE(second.lastErrorText().find(port.text()), std::string::npos)
        << second.lastErrorText();
    EXPECT_FALSE(second.isOpen());
}

TEST(TcpSocketBind, BindingAgainReleasesThePreviousPort)
{
    FreePort first;
    TcpSocket socket;
    ASSERT_TRUE(socket.bind(first.text()));
    FreePort second;
    ASSERT_TRUE(socket.bind(second.text()));
    EXPECT_EQ(socket.localPort(), second.number());
    EXPECT_TRUE(portIsFree(first.number()));
}

TEST(TcpSocketBind, SystemFailuresMapToTheirCodes)
{
    const struct
    {
        int error;
        int code;
    } cases[] = {{EADDRINUSE, 7}, {ENETDOWN, 9}, {EACCES, 8}, {EADDRNOTAVAIL, 8}};
    FakeSystemCalls fake;
    for (const auto& c : cases) {
        fake.failBind(c.error);
        TcpSocket socket;
        EXPECT_FALSE(socket.bind("4444"));
        EXPECT_EQ(socket.lastError(), c.code) << socket.lastErrorText();
        EXPECT_FALSE(socket.isOpen());
    }
    fake.failBind(0);
    fake.failSocket(EMFILE);
    TcpSocket socket;
    EXPECT_FALSE(socket.bind("4444"));
    EXPECT_EQ(socket.lastError(), 3) << socket.lastErrorText();
}

TEST(TcpSocketBind, ServerSocketsKeepAliveLingerAndCloseOnExec)
{
    LoopbackPair pair;
    ASSERT_TRUE(pair.ready());
    for (const TcpSocket* socket : {&pair.server, &pair.client, pair.accepted.get()}) {
        const int handle = socket->handle();
        EXPECT_EQ(intOption(handle, SO_KEEPALIVE), 1);
        EXPECT_EQ(intOption(handle, SO_REUSEADDR), 0);
        linger value {};
        socklen_t length = sizeof value;
        ASSERT_EQ(getsockopt(handle, SOL_SOCKET, SO_LINGER, &value, &length), 0);
        EXPECT_EQ(value.l_onoff, 1);
        EXPECT_EQ(value.l_linger, 30);
        EXPECT_NE(fcntl(handle, F_GETFD) & FD_CLOEXEC, 0);
        EXPECT_EQ(fcntl(handle, F_GETFL) & O_NONBLOCK, 0);
    }
}

// A server that closed a connection first leaves it waiting on its port for a while; only
// with address reuse can a restarted server bind that port again at once.
TEST(TcpSocketBind, ReuseAddressLetsARestartedServerBindAfterItsOwnClose)
{
    for (const bool reuse : {false, true}) {
        FreePort port;
        {
            TcpSocket server;
            EXPECT_FALSE(server.setReuseAddress(reuse)); // no socket yet, flag kept
            ASSERT_TRUE(server.bind(port.text()));
            EXPECT_EQ(intOption(server.handle(), SO_REUSEADDR), reuse ? 1 : 0);
            EXPECT_EQ(server.acceptConnection(1, 5), nullptr);
            TcpSocket client;
            ASSERT_TRUE(client.connect("127.0.0.1", port.text())) << client.lastErrorText();
            std::unique_ptr<TcpSocket> accepted = server.acceptConnection(5000, 5);
            ASSERT_NE(accepted, nullptr);
            EXPECT_TRUE(accepted->close());
            char byte = 0;
            std::size_t length = 1;
            EXPECT_TRUE(client.receive(&byte, length, 5000)); // the server's close arrived
            EXPECT_EQ(length, 0u);
        }
        TcpSocket restarted;
        (void)restarted.setReuseAddress(reuse); // no socket yet: kept for the bind
        EXPECT_EQ(restarted.bind(port.text()), reuse) << restarted.lastErrorText();
        if (!reuse) {
            EXPECT_EQ(restarted.lastError(), 7);
        }
    }
}

TEST(TcpSocketAccept, AWaitThatRunsOutGivesNone)
{
    FreePort port;
    TcpSocket server;
    ASSERT_TRUE(server.bind(port.text()));
    EXPECT_EQ(server.acceptConnection(50, 5), nullptr);
    EXPECT_EQ(server.lastError(), 6);
    EXPECT_TRUE(server.isOpen());
}

TEST(TcpSocketAccept, WithoutABoundSocketGivesNone)
{
    TcpSocket server;
    EXPECT_EQ(server.acceptConnection(50, 5), nullptr);
    EXPECT_NE(server.lastError(), 0);
}

TEST(TcpSocketAccept, ABlockingAcceptTakesTheNextConnection)
{
    FreePort port;
    TcpSocket server;
    ASSERT_TRUE(server.bind(port.text()));
    EXPECT_EQ(server.acceptConnection(1, 5), nullptr);
    TcpSocket client;
    ASSERT_TRUE(client.connect("127.0.0.1", port.text()));
    std::unique_ptr<TcpSocket> accepted = server.acceptConnection(0, 5);
    ASSERT_NE(accepted, nullptr);
    std::string address;
    EXPECT_TRUE(accepted->peerAddress(address));
    EXPECT_EQ(address, "127.0.0.1");
}

} // namespace
