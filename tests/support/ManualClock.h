#pragma once

#include "threads/Clock.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

// A clock whose time moves only when the test moves it. Threads that sleep or wait on it
// block until the test advances the time past their deadline (or they are stopped or their
// condition holds); the test can wait until a given number of them is asleep, so a worker
// thread that sleeps in a loop is stepped through its wake-ups without racing the test.
class ManualClock final : public Clock
{
public:
    // A clock standing at `start` (by default 2024-01-01 00:00:00 UTC).
    explicit ManualClock(TimePoint start = defaultStart());
    // Every thread must have stopped waiting on the clock before it goes.
    ~ManualClock() override;
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    // 2024-01-01 00:00:00 UTC.
    static TimePoint defaultStart();

    // The time as the test last set it.
    TimePoint now() const override;
    // Blocks until `ready` holds, `stop` is requested or the test moves the time `timeout`
    // past the moment of the call.
    bool waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                 std::chrono::milliseconds timeout, std::stop_token stop,
                 const std::function<bool()>& ready) override;

    // Moves the time forward by `step` (negative steps are ignored) and wakes every waiter
    // whose deadline has come.
    void advance(std::chrono::milliseconds step);
    // Sets the time; waiters whose deadline is now reached wake, a move back wakes nobody.
    void set(TimePoint time);
    // Advances `total` in steps of `step`, and before each step waits (real time, up to
    // `realTimeout`) until `sleepers` threads wait on the clock; false when they did not.
    [[nodiscard]] bool advanceInSteps(std::chrono::milliseconds total,
                                      std::chrono::milliseconds step, std::size_t sleepers,
                                      std::chrono::milliseconds realTimeout
                                      = std::chrono::seconds(10));

    // The number of threads waiting on the clock whose deadline has not come yet.
    std::size_t sleeperCount() const;
    // Waits (real time, up to `realTimeout`) until at least `count` threads wait on the
    // clock; false when that did not happen in time.
    [[nodiscard]] bool waitForSleepers(std::size_t count,
                                       std::chrono::milliseconds realTimeout
                                       = std::chrono::seconds(10)) const;

private:
    struct Sleeper;

    void wakeDueLocked();

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_sleepersChanged;
    TimePoint m_now;
    std::vector<Sleeper*> m_sleepers;
};
