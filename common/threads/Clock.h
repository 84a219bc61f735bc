#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>

// The source of the current time and of timed waits. Code that sleeps or runs out of time
// takes a Clock& so that tests can drive time by hand instead of sleeping for real.
class Clock
{
public:
    using TimePoint = std::chrono::system_clock::time_point;

    // The longest wait a clock honours; longer waits are cut to it (about a century).
    static constexpr std::chrono::milliseconds longestWait {std::chrono::hours(24 * 365 * 100)};

    virtual ~Clock() = default;

    // The real wall clock, with waits measured on the monotonic clock.
    static Clock& system();

    // The current wall-clock time.
    virtual TimePoint now() const = 0;

    // Waits on `cv` (with `lock` held on entry and on return) until `ready` holds, `stop` is
    // requested or `timeout` of this clock's time has passed; returns `ready()` as it stands
    // at the end. Whoever makes `ready` true must notify `cv` with the lock's mutex held.
    virtual bool waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                         std::chrono::milliseconds timeout, std::stop_token stop,
                         const std::function<bool()>& ready)
        = 0;

    // Sleeps `duration` of this clock's time unless `stop` is requested first; false when a
    // stop was requested (before or during the sleep), true when the time has passed.
    [[nodiscard]] bool sleepFor(std::chrono::milliseconds duration, std::stop_token stop = {});
};
