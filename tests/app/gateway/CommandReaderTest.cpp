// The command reader over a real loopback connection.
#include "gateway/CommandReader.h"

#include "FreePort.h"
#include "GatewayClient.h"
#include "net/TcpSocket.h"
#include "threads/WakeEvent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace std::string_literals;

namespace {

using Clock = std::chrono::steady_clock;

class CommandReaderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(listener.bind(port.text())) << listener.lastErrorText();
        // Listening starts with the first accept, which finds nobody yet.
        ASSERT_EQ(listener.acceptConnection(1, 5), nullptr);
        client = std::make_unique<GatewayClient>(port.number());
        ASSERT_TRUE(client->connected());
        accepted = listener.acceptConnection(5000, 5);
        ASSERT_NE(accepted, nullptr) << listener.lastErrorText();
    }

    static long msSince(Clock::time_point start)
    {
        return static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    }

    FreePort port;
    TcpSocket listener;
    std::unique_ptr<GatewayClient> client;
    std::unique_ptr<TcpSocket> accepted;
};

TEST_F(CommandReaderTest, LinesOfEveryEndingAndOverlongLinesAreRead)
{
    ASSERT_TRUE(client->send("PAGE 1\r\nMESS x\n\n\rSEND\0"s + std::string(2000, 'a') + "\r\n"));
    CommandReader reader(*accepted, nullptr, {});
    std::string line;
    for (const std::string& expected :
         {std::string("PAGE 1"), std::string("MESS x"), std::string("SEND"), std::string(1023, 'a'),
          std::string(977, 'a')}) {
        ASSERT_EQ(reader.readLine(line, 5000), ReadOutcome::Line);
        EXPECT_EQ(line, expected);
    }
}

TEST_F(CommandReaderTest, AClosedConnectionIsLostAtOnceWithThePartialLine)
{
    ASSERT_TRUE(client->send("PAGE 1\r\nPAG"));
    client->close();
    CommandReader reader(*accepted, nullptr, {});
    std::string line;
    ASSERT_EQ(reader.readLine(line), ReadOutcome::Line);
    const auto start = Clock::now();
    EXPECT_EQ(reader.readLine(line), ReadOutcome::Lost);
    EXPECT_LT(msSince(start), 5000);
    EXPECT_EQ(reader.partial(), "PAG");
}

TEST_F(CommandReaderTest, AResetConnectionIsLost)
{
    ASSERT_TRUE(client->send("MESS half"));
    client->close(true);
    CommandReader reader(*accepted, nullptr, {});
    std::string line;
    EXPECT_EQ(reader.readLine(line), ReadOutcome::Lost);
    EXPECT_EQ(reader.partial(), "MESS half");
}

TEST_F(CommandReaderTest, SilenceWithinALineRunsOutAfterTheByteWait)
{
    ASSERT_TRUE(client->send("MESS hi"));
    CommandReader reader(*accepted, nullptr, {});
    std::string line;
    const auto start = Clock::now();
    EXPECT_EQ(reader.readLine(line, 300), ReadOutcome::Lost);
    EXPECT_GE(msSince(start), 290);
    EXPECT_EQ(reader.partial(), "MESS hi");
}

TEST_F(CommandReaderTest, AWakeUpWithTheAbandonRequestEndsTheWait)
{
    WakeEvent wake;
    ASSERT_TRUE(wake.isValid());
    std::atomic<bool> abandon {false};
    CommandReader reader(*accepted, &wake, [&] { return abandon.load(); });
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        abandon = true;
        wake.signal();
    });
    std::string line;
    const auto start = Clock::now();
    EXPECT_EQ(reader.readLine(line, 30000), ReadOutcome::Abandoned);
    EXPECT_LT(msSince(start), 5000);
    other.join();
}

TEST_F(CommandReaderTest, AWakeUpWithoutTheRequestKeepsWaitingForTheByte)
{
    WakeEvent wake;
    CommandReader reader(*accepted, &wake, [] { return false; });
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        wake.signal();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        (void)client->send("HELP\r\n");
    });
    std::string line;
    EXPECT_EQ(reader.readLine(line, 5000), ReadOutcome::Line);
    EXPECT_EQ(line, "HELP");
    other.join();
}

} // namespace
