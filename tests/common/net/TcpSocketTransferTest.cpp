#include "FakeSystemCalls.h"
#include "LoopbackPair.h"
#include "net/TcpSocket.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

namespace {

// Receives until `count` bytes came or a receive fails or finds the connection closed.
std::string receiveBytes(TcpSocket& socket, std::size_t count)
{
    std::string received;
    char buffer[64];
    while (received.size() < count) {
        std::size_t length = std::min(sizeof buffer, count - received.size());
        if (!socket.receive(buffer, length, 5000) || length == 0) {
            break;
        }
        received.append(buffer, length);
    }
    return received;
}

TEST(TcpSocketTransfer, BytesSentArriveInOrderBothWays)
{
    LoopbackPair pair;
    ASSERT_TRUE(pair.ready());
    EXPECT_TRUE(pair.client.send("PAGE 1234\r\n", 11));
    EXPECT_EQ(receiveBytes(*pair.accepted, 11), "PAGE 1234\r\n");
    EXPECT_TRUE(pair.accepted->send("250 Pager ID Accepted\n", 22));
    EXPECT_EQ(receiveBytes(pair.client, 22), "250 Pager ID Accepted\n");
}

TEST(TcpSocketTransfer, ReceiveNeverWritesPastTheGivenLength)
{
    LoopbackPair pair;
    ASSERT_TRUE(pair.ready());
    ASSERT_TRUE(pair.client.send("ABCDEFGH", 8));
    char buffer[8] = {'-', '-', '-', '-', '-', '-', '-', '-'};
    std::size_t length = 3;
    ASSERT_TRUE(pair.accepted->receive(buffer, length, 5000));
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(std::string(buffer, 8), "ABC-----");
    EXPECT_EQ(receiveBytes(*pair.accepted, 5), "DEFGH");
}

TEST(TcpSocketTransfer, AfterThePeerClosedEveryReceiveGivesTrueWithLength0)
{
    LoopbackPair pair;
    ASSERT_TRUE(pair.ready());
    ASSERT_TRUE(pair.accepted->send("X", 1));
    EXPECT_TRUE(pair.accepted->close());
    EXPECT_EQ(receiveBytes(pair.client, 1), "X");
    for (int call = 0; call < 3; ++call) {
        char byte = 0;
        std::size_t length = 1;
        EXPECT_TRUE(pair.client.receive(&byte, length, 5000)) << call;
        EXPECT_EQ(length, 0u) << call;
    }
}

TEST(TcpSocketTransfer, AReceiveWaitThatRunsOutGivesFalseWithLength0)
{
    LoopbackPair pair;
    ASSERT_TRUE(pair.ready());
    for (const int waitMs : {0, 50}) {
        char byte = 0;
        std::size_t length = 1;
        EXPECT_FALSE(pair.client.receive(&byte, length, waitMs));
        EXPECT_EQ(length, 0u);
        EXPECT_EQ(pair.client.lastError(), 6);
    }
    EXPECT_TRUE(pair.client.isOpen());
}

TEST(TcpSocketTransfer, WithoutASocketReceiveSendAndPeerAddressFail)
{
    TcpSocket socket;
    char byte = 0;
    std::size_t length = 1;
    EXPECT_FALSE(socket.receive(&byte, length, 10));
    EXPECT_EQ(length, 0u);
    EXPECT_FALSE(socket.send("x", 1));
    std::string address = "unchanged";
    EXPECT_FALSE(socket.peerAddress(address));
    EXPECT_EQ(address, "unchanged");
    EXPECT_FALSE(socket.close());
    EXPECT_FALSE(socket.setKeepAlive(true));
    EXPECT_FALSE(socket.setLinger(true, 30));
    EXPECT_EQ(socket.localPort(), 0);
    EXPECT_EQ(socket.handle(), -1);
}

TEST(TcpSocketTransfer, ASendIsGoodOnlyWhenTheSystemTookEveryByte)
{
    const struct
    {
        std::size_t limit;
        bool whole;
    } cases[] = {{0, false}, {4, false}, {6, true}, {64, true}};
    for (const auto& c : cases) {
        LoopbackPair pair;
        ASSERT_TRUE(pair.ready());
        FakeSystemCalls fake;
        fake.limitSend(c.limit);
        EXPECT_EQ(pair.client.send("ABCDEF", 6), c.whole) << c.limit;
        if (!c.whole) {
            EXPECT_NE(pair.client.lastErrorText().find("6 bytes"), std::string::npos)
                << pair.client.lastErrorText();
        }
        // What was taken did go out, once.
        const std::size_t taken = std::min<std::size_t>(c.limit, 6);
        EXPECT_TRUE(pair.client.close());
        EXPECT_EQ(receiveBytes(*pair.accepted, 6), std::string("ABCDEF", taken)) << c.limit;
    }
}

TEST(TcpSocketTransfer, SendingToAGonePeerFailsWithoutEndingTheProcess)
{
    LoopbackPair pair;
    ASSERT_TRUE(pair.ready());
    pair.accepted.reset();
    // The first sends may still be taken; once the peer's reset came back they fail (a
    // SIGPIPE would have ended this test program instead).
    bool failed = false;
    for (int attempt = 0; attempt < 200 && !failed; ++attempt) {
        failed = !pair.client.send("PAGE 1\n", 7);
        if (!failed) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    EXPECT_TRUE(failed);
    EXPECT_TRUE(pair.client.lastError() == 100 + EPIPE
                || pair.client.lastError() == 100 + ECONNRESET)
        << pair.client.lastErrorText();
}

} // namespace
