#include "threads/Clock.h"

#include <algorithm>

namespace {

// The real clock: the wall clock for now(), the monotonic clock for waits so that a change of
// the system time neither stretches nor cuts a sleep short.
class SystemClock final : public Clock
{
public:
    TimePoint now() const override { return std::chrono::system_clock::now(); }

    bool waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                 std::chrono::milliseconds timeout, std::stop_token stop,
                 const std::function<bool()>& ready) override
    {
        const auto bounded = std::clamp(timeout, std::chrono::milliseconds(0), longestWait);
        return cv.wait_for(lock, std::move(stop), bounded, ready);
    }
};

} // namespace

Clock& Clock::system()
{
    static SystemClock clock;
    return clock;
}

bool Clock::sleepFor(std::chrono::milliseconds duration, std::stop_token stop)
{
    // A private mutex and condition: nothing but the time or the stop request can end the
    // sleep, and both reach it through waitFor.
    std::mutex mutex;
    std::condition_variable_any cv;
    std::unique_lock lock(mutex);
    (void)waitFor(lock, cv, duration, stop, [] { return false; });
    return !stop.stop_requested();
}
