#include "EngineExpect.h"
#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using Strings = std::vector<std::string>;

long long msSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Waits (up to five seconds) until the condition holds.
bool eventually(const std::function<bool()>& condition)
{
    const Clock::time_point until = Clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (Clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST(TapEngineControlTest, DisconnectRequestDuringAReadEndsWithEotCr)
{
    TapTerminalScript script;
    script.blockAnswers = {TapBlockAnswer::Silence};
    EngineHarness harness(script, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("100", "first");
    harness.add("200", "second");
    std::thread frame([&] {
        if (eventually([&] { return harness.terminal().blocks().size() == 1; })) {
            // Well inside the one-second wait for the block's answer.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            harness.engine().requestStop();
        }
    });
    ASSERT_TRUE(harness.run());
    frame.join();

    // The read ran to its time-out; the step after it was Disconnect, not a resend.
    EXPECT_EQ(harness.terminal().blocks().size(), 1u);
    EXPECT_TRUE(harness.terminal().eotSeen());
    const std::string received = harness.terminal().received();
    EXPECT_EQ(received.substr(received.size() - 2), "\x04\r");
    EXPECT_EQ(harness.result(0), 5);
    EXPECT_EQ(harness.result(1), 5);
    EXPECT_EQ(harness.reporter().lastError(), 203);
    EXPECT_EQ(countOf(harness.reporter().logMessages(10), "STATE Sending packet retry=1"), 0);
    EXPECT_EQ(harness.engine().state(), TapState::End);
}

TEST(TapEngineControlTest, CancelWithHangUpEndsAtOnceAndKeeps213)
{
    TapTerminalScript script;
    script.blockAnswers = {TapBlockAnswer::Nak, TapBlockAnswer::Silence};
    TapSettings settings = fastSettings();
    settings.readTimeoutSeconds = 30;
    EngineHarness harness(script, settings);
    ASSERT_TRUE(harness.ready());
    harness.add("100", "first");
    const Clock::time_point start = Clock::now();
    std::thread frame([&] {
        if (eventually([&] { return harness.terminal().blocks().size() == 2; })) {
            // What the frame's Cancel does: 213, Disconnect, and the hang-up.
            harness.reporter().cancel();
            harness.engine().requestStop();
            harness.link().interrupt();
        }
    });
    ASSERT_TRUE(harness.run(0));
    frame.join();

    EXPECT_LT(msSince(start), 10000);
    // The failed reads and the failed EOT write change nothing.
    EXPECT_EQ(harness.reporter().lastError(), 213);
    // The latest answer was a NAK: the message stays a transmission error.
    EXPECT_EQ(harness.result(0), 6);
    EXPECT_EQ(harness.reporter().statuses().back(), "Disconnecting");
    EXPECT_FALSE(harness.terminal().eotSeen());
}

TEST(TapEngineControlTest, DisconnectRequestCutsThePauseAfterTheGoAheadShort)
{
    TapSettings settings = fastSettings();
    settings.goAheadDelayMs = 60000;
    EngineHarness harness({}, settings);
    ASSERT_TRUE(harness.ready());
    harness.add("100", "first");
    const Clock::time_point start = Clock::now();
    std::thread frame([&] {
        if (eventually([&] { return harness.terminal().logins() == 1; })) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            harness.engine().requestStop();
        }
    });
    ASSERT_TRUE(harness.run());
    frame.join();
    EXPECT_LT(msSince(start), 10000);
    EXPECT_TRUE(harness.terminal().blocks().empty());
    EXPECT_TRUE(harness.terminal().eotSeen());
    EXPECT_EQ(harness.result(0), 5);
}

TEST(TapEngineControlTest, GoAheadDelayIsWaited)
{
    TapSettings settings = fastSettings();
    settings.goAheadDelayMs = 300;
    EngineHarness harness({}, settings);
    ASSERT_TRUE(harness.ready());
    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(harness.run());
    EXPECT_GE(msSince(start), 300);
    EXPECT_EQ(harness.reporter().lastError(), 0);
}

TEST(TapEngineControlTest, DisconnectRequestedBeforeStartOnlySendsEotCr)
{
    EngineHarness harness({}, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("100", "first");
    harness.engine().requestStop();
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.steps(), 1);
    EXPECT_EQ(harness.terminal().received(), "\x04\r");
    EXPECT_EQ(harness.reporter().phases(), (std::vector<int> {4}));
    EXPECT_EQ(harness.result(0), 5);
}

TEST(TapEngineControlTest, EndedEngineIgnoresLaterRequests)
{
    EngineHarness harness({}, fastSettings());
    ASSERT_TRUE(harness.ready());
    ASSERT_TRUE(harness.run());
    const std::size_t written = harness.reporter().logMessages(11).size();
    harness.engine().requestStop();
    EXPECT_FALSE(harness.engine().step());
    EXPECT_EQ(harness.engine().state(), TapState::End);
    EXPECT_EQ(harness.reporter().logMessages(11).size(), written);
}

TEST(TapEngineControlTest, CancelledSendKeeps213WhenTheExchangeEndsOnItsOwn)
{
    TapTerminalScript script;
    script.loginAnswer = TapLoginAnswer::Nak;
    EngineHarness harness(script, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.reporter().cancel();
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.reporter().lastError(), 213);
    EXPECT_EQ(harness.reporter().statuses().back(), "Disconnecting");
}

} // namespace
