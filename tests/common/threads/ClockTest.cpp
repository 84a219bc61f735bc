#include "threads/Clock.h"

#include "Eventually.h"
#include "ManualClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// One waitFor on its own thread, with the condition and the stop source the test controls.
class Waiter
{
public:
    Waiter(Clock& clock, std::chrono::milliseconds timeout)
        : m_thread([this, &clock, timeout] {
            std::unique_lock lock(m_mutex);
            m_result = clock.waitFor(lock, m_cv, timeout, m_stop.get_token(),
                                     [this] { return m_ready; });
            m_done = true;
        })
    { }
    ~Waiter() { m_thread.join(); }

    void makeReady()
    {
        std::lock_guard guard(m_mutex);
        m_ready = true;
        m_cv.notify_all();
    }
    void stop() { m_stop.request_stop(); }
    bool done() const { return m_done; }
    // Waits (real time) for waitFor to return and gives its result.
    bool result(bool* finished)
    {
        *finished = eventually([this] { return m_done.load(); });
        std::lock_guard guard(m_mutex);
        return m_result;
    }

private:
    std::mutex m_mutex;
    std::condition_variable_any m_cv;
    std::stop_source m_stop;
    bool m_ready = false;
    bool m_result = false;
    std::atomic<bool> m_done {false};
    std::thread m_thread;
};

TEST(SystemClockTest, NowIsTheWallClock)
{
    const auto before = std::chrono::system_clock::now();
    const auto now = Clock::system().now();
    const auto after = std::chrono::system_clock::now();
    EXPECT_LE(before, now);
    EXPECT_LE(now, after);
}

TEST(SystemClockTest, SleepLastsItsTimeWithoutAStop)
{
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(Clock::system().sleepFor(30ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}

TEST(SystemClockTest, StopEndsALongSleepEarly)
{
    std::stop_source stop;
    auto sleeping = std::async(std::launch::async,
                               [&] { return Clock::system().sleepFor(1h, stop.get_token()); });
    std::this_thread::sleep_for(20ms);
    stop.request_stop();
    ASSERT_EQ(sleeping.wait_for(10s), std::future_status::ready);
    EXPECT_FALSE(sleeping.get());
}

TEST(SystemClockTest, SleepAfterAStopReturnsAtOnce)
{
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(Clock::system().sleepFor(1h, stop.get_token()));
}

TEST(SystemClockTest, WaitEndsWhenTheConditionIsMet)
{
    Waiter waiter(Clock::system(), 1h);
    std::this_thread::sleep_for(10ms);
    waiter.makeReady();
    bool finished = false;
    EXPECT_TRUE(waiter.result(&finished));
    EXPECT_TRUE(finished);
}

TEST(SystemClockTest, WaitWithTheConditionUnmetRunsOut)
{
    Waiter waiter(Clock::system(), 20ms);
    bool finished = false;
    EXPECT_FALSE(waiter.result(&finished));
    EXPECT_TRUE(finished);
}

TEST(ManualClockTest, TimeMovesOnlyByHand)
{
    ManualClock clock;
    const auto start = clock.now();
    EXPECT_EQ(start, ManualClock::defaultStart());
    std::this_thread::sleep_for(5ms);
    EXPECT_EQ(clock.now(), start);
    clock.advance(1500ms);
    EXPECT_EQ(clock.now(), start + 1500ms);
    clock.advance(-10s);
    EXPECT_EQ(clock.now(), start + 1500ms);
    const auto later = start + std::chrono::hours(48);
    clock.set(later);
    EXPECT_EQ(clock.now(), later);
    clock.set(start);
    EXPECT_EQ(clock.now(), start);
}

TEST(ManualClockTest, WaitRunsOutExactlyAtItsDeadline)
{
    ManualClock clock;
    Waiter waiter(clock, 5000ms);
    ASSERT_TRUE(clock.waitForSleepers(1));
    clock.advance(4999ms);
    EXPECT_EQ(clock.sleeperCount(), 1U);
    std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(waiter.done());
    clock.advance(1ms);
    bool finished = false;
    EXPECT_FALSE(waiter.result(&finished));
    EXPECT_TRUE(finished);
    EXPECT_EQ(clock.sleeperCount(), 0U);
}

TEST(ManualClockTest, SettingTheTimeBackWakesNobody)
{
    ManualClock clock;
    Waiter waiter(clock, 1000ms);
    ASSERT_TRUE(clock.waitForSleepers(1));
    clock.set(clock.now() - 1h);
    clock.advance(999ms);
    EXPECT_EQ(clock.sleeperCount(), 1U);
    clock.set(ManualClock::defaultStart() + 1000ms);
    bool finished = false;
    EXPECT_FALSE(waiter.result(&finished));
    EXPECT_TRUE(finished);
}

TEST(ManualClockTest, ConditionAndStopEndAWaitWithoutTime)
{
    for (const bool byStop : {false, true}) {
        SCOPED_TRACE(byStop ? "ended by a stop" : "ended by its condition");
        ManualClock clock;
        Waiter waiter(clock, 1h);
        ASSERT_TRUE(clock.waitForSleepers(1));
        if (byStop) {
            waiter.stop();
        } else {
            waiter.makeReady();
        }
        bool finished = false;
        EXPECT_EQ(waiter.result(&finished), !byStop);
        EXPECT_TRUE(finished);
        EXPECT_EQ(clock.sleeperCount(), 0U);
        EXPECT_EQ(clock.now(), ManualClock::defaultStart());
    }
}

TEST(ManualClockTest, ZeroTimeoutAndEarlyStopReturnAtOnce)
{
    ManualClock clock;
    EXPECT_TRUE(clock.sleepFor(0ms));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(clock.sleepFor(1h, stop.get_token()));
    EXPECT_EQ(clock.sleeperCount(), 0U);
}

TEST(ManualClockTest, SleepersWakeInTheOrderOfTheirDeadlines)
{
    ManualClock clock;
    std::mutex mutex;
    std::vector<int> woken;
    std::vector<std::thread> threads;
    const std::vector<int> seconds {30, 10, 20};
    for (const int s : seconds) {
        threads.emplace_back([&, s] {
            if (clock.sleepFor(std::chrono::seconds(s))) {
                std::lock_guard guard(mutex);
                woken.push_back(s);
            }
        });
    }
    ASSERT_TRUE(clock.waitForSleepers(3));
    for (std::size_t expected = 1; expected <= 3; ++expected) {
        clock.advance(10s);
        EXPECT_TRUE(eventually([&] {
            std::lock_guard guard(mutex);
            return woken.size() == expected;
        }));
        EXPECT_EQ(clock.sleeperCount(), 3 - expected);
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(woken, (std::vector<int> {10, 20, 30}));
}

TEST(ManualClockTest, WaitingForSleepersGivesUpAfterItsTime)
{
    ManualClock clock;
    EXPECT_TRUE(clock.waitForSleepers(0, 1ms));
    EXPECT_FALSE(clock.waitForSleepers(1, 20ms));
    EXPECT_FALSE(clock.advanceInSteps(10s, 5s, 1, 20ms));
    EXPECT_EQ(clock.now(), ManualClock::defaultStart());
}

} // namespace
