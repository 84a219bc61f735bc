#include "FakeSystemCalls.h"
#include "LoopbackPair.h"
#include "net/TcpSocket.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The outcome of a connect made on its own thread.
struct Attempt
{
    std::atomic<bool> connected {true};
    milliseconds took {0};
};

std::thread connectOnThread(TcpSocket& socket, Attempt& attempt)
{
    return std::thread([&socket, &attempt] {
        const auto start = Clock::now();
        attempt.connected = socket.connect("localhost", "444");
        attempt.took = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    });
}

TEST(CancellableLookup, ACancelFromAnotherThreadEndsTheWaitAtOnceWithCode1)
{
    FakeSystemCalls fake;
    fake.holdLookups();
    TcpSocket socket(true);
    socket.setLookupTimeout(60000);
    Attempt attempt;
    std::thread client = connectOnThread(socket, attempt);
    const bool held = fake.waitForHeldLookups(1, 10000);
    EXPECT_TRUE(held);
    socket.cancelLookup();
    client.join();
    EXPECT_FALSE(attempt.connected);
    EXPECT_EQ(socket.lastError(), 1);
    EXPECT_NE(socket.lastErrorText().find("cancelled"), std::string::npos);
    // It came back long before its waiting time, while the system's lookup still hangs.
    EXPECT_LT(attempt.took, milliseconds(30000));
    EXPECT_EQ(fake.heldLookups(), 1);
    EXPECT_EQ(TcpSocket::pendingLookups(), 1);
    fake.releaseLookups();
    EXPECT_TRUE(TcpSocket::waitForPendingLookups(10000));
    EXPECT_EQ(TcpSocket::pendingLookups(), 0);
    EXPECT_EQ(fake.resultsOutstanding(), 0); // the dropped late result was released
}

TEST(CancellableLookup, ALookupThatDoesNotFinishGivesCode1AfterTheWaitingTime)
{
    FakeSystemCalls fake;
    fake.holdLookups();
    TcpSocket socket(true);
    socket.setLookupTimeout(150);
    const auto start = Clock::now();
    EXPECT_FALSE(socket.connect("localhost", "444"));
    EXPECT_GE(Clock::now() - start, milliseconds(150));
    EXPECT_EQ(socket.lastError(), 1);
    EXPECT_NE(socket.lastErrorText().find("ran out of time"), std::string::npos)
        << socket.lastErrorText();
    EXPECT_EQ(fake.heldLookups(), 1);
    fake.releaseLookups();
    EXPECT_TRUE(TcpSocket::waitForPendingLookups(10000));
    EXPECT_EQ(fake.resultsOutstanding(), 0);
}

TEST(CancellableLookup, TheSocketMayGoWhileItsAbandonedLookupStillRuns)
{
    FakeSystemCalls fake;
    fake.holdLookups();
    {
        auto socket = std::make_unique<TcpSocket>(true);
        socket->setLookupTimeout(20);
        EXPECT_FALSE(socket->connect("localhost", "444"));
        EXPECT_FALSE(socket->connect("localhost", "444"));
    }
    // Both helpers now finish after their socket is gone and drop what they found.
    EXPECT_TRUE(fake.waitForHeldLookups(2, 10000));
    fake.releaseLookups();
    EXPECT_TRUE(TcpSocket::waitForPendingLookups(10000));
    EXPECT_EQ(fake.resultsOutstanding(), 0);
}

TEST(CancellableLookup, ACancelWithoutAPendingLookupDoesNotStickToTheNextConnect)
{
    FakeSystemCalls fake;
    FreePort port;
    TcpSocket server;
    ASSERT_TRUE(server.bind(port.text()));
    EXPECT_EQ(server.acceptConnection(1, 5), nullptr);
    TcpSocket client(true);
    client.cancelLookup();
    EXPECT_TRUE(client.connect("localhost", port.text())) << client.lastErrorText();
    // A cancel after the lookup has finished changes nothing either.
    client.cancelLookup();
    EXPECT_TRUE(client.isOpen());
    EXPECT_NE(server.acceptConnection(5000, 5), nullptr);
}

TEST(CancellableLookup, ADottedAddressNeedsNoLookup)
{
    FakeSystemCalls fake;
    fake.holdLookups();
    TcpSocket socket(true);
    socket.setLookupTimeout(60000);
    // A lookup would hang; the refusal shows the address was used directly.
    EXPECT_FALSE(socket.connect("127.0.0.1", FreePort().text()));
    EXPECT_EQ(socket.lastError(), 4);
    EXPECT_EQ(fake.heldLookups(), 0);
}

TEST(CancellableLookup, ManyLookupsCancelledFromAnotherThreadEndCleanly)
{
    FakeSystemCalls fake;
    fake.holdLookups();
    TcpSocket socket(true);
    socket.setLookupTimeout(60000);
    for (int round = 0; round < 5; ++round) {
        Attempt attempt;
        std::thread client = connectOnThread(socket, attempt);
        // The earlier rounds' lookups still hang in the system; this one joins them.
        EXPECT_TRUE(fake.waitForHeldLookups(round + 1, 10000));
        socket.cancelLookup();
        client.join();
        EXPECT_FALSE(attempt.connected);
        EXPECT_EQ(socket.lastError(), 1);
    }
    EXPECT_EQ(TcpSocket::pendingLookups(), 5);
    fake.releaseLookups();
    EXPECT_TRUE(TcpSocket::waitForPendingLookups(10000));
    EXPECT_EQ(fake.resultsOutstanding(), 0);
}

} // namespace
