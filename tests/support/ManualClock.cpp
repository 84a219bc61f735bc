#include "ManualClock.h"

#include <algorithm>
#include <cassert>

// One thread inside waitFor. Its alarm is a stop source that the clock triggers when the
// deadline comes; the caller's condition variable is woken by the alarm's stop callback
// inside condition_variable_any, which takes the variable's own internal mutex, so a wake-up
// is never lost and the clock never needs the caller's mutex.
struct ManualClock::Sleeper
{
    TimePoint deadline;
    std::stop_source alarm;
};

ManualClock::ManualClock(TimePoint start)
    : m_now(start)
{ }

ManualClock::~ManualClock()
{
    assert(m_sleepers.empty() && "a thread still waits on a ManualClock being destroyed");
}

Clock::TimePoint ManualClock::defaultStart()
{
    using namespace std::chrono;
    return sys_days(year(2024) / January / 1);
}

Clock::TimePoint ManualClock::now() const
{
    std::lock_guard guard(m_mutex);
    return m_now;
}

bool ManualClock::waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                          std::chrono::milliseconds timeout, std::stop_token stop,
                          const std::function<bool()>& ready)
{
    if (ready()) {
        return true;
    }
    Sleeper sleeper;
    // Declared after the sleeper so that it is gone before the alarm it triggers.
    std::stop_callback forwardStop(stop, [&sleeper] { sleeper.alarm.request_stop(); });
    {
        std::lock_guard guard(m_mutex);
        const auto bounded = std::clamp(timeout, std::chrono::milliseconds(0), longestWait);
        sleeper.deadline = m_now + bounded;
        if (sleeper.deadline <= m_now || sleeper.alarm.stop_requested()) {
            // Already due or already stopped: the wait below returns at once.
            sleeper.alarm.request_stop();
        } else {
            m_sleepers.push_back(&sleeper);
            m_sleepersChanged.notify_all();
        }
    }
    const bool result = cv.wait(lock, sleeper.alarm.get_token(), ready);
    {
        // Still listed when the wait ended through `ready` or `stop`; the clock delists the
        // sleepers it wakes itself.
        std::lock_guard guard(m_mutex);
        const auto found = std::find(m_sleepers.begin(), m_sleepers.end(), &sleeper);
        if (found != m_sleepers.end()) {
            m_sleepers.erase(found);
            m_sleepersChanged.notify_all();
        }
    }
    return result;
}

void ManualClock::advance(std::chrono::milliseconds step)
{
    if (step <= std::chrono::milliseconds(0)) {
        return;
    }
    std::lock_guard guard(m_mutex);
    m_now += step;
    wakeDueLocked();
}

void ManualClock::set(TimePoint time)
{
    std::lock_guard guard(m_mutex);
    m_now = time;
    wakeDueLocked();
}

void ManualClock::wakeDueLocked()
{
    // The alarms are triggered under the clock's mutex: a sleeper cannot delist itself and
    // vanish while its alarm is being triggered.
    const auto due
        = std::stable_partition(m_sleepers.begin(), m_sleepers.end(),
                                [this](const Sleeper* s) { return s->deadline > m_now; });
    for (auto it = due; it != m_sleepers.end(); ++it) {
        (*it)->alarm.request_stop();
    }
    if (due != m_sleepers.end()) {
        m_sleepers.erase(due, m_sleepers.end());
        m_sleepersChanged.notify_all();
    }
}

bool ManualClock::advanceInSteps(std::chrono::milliseconds total, std::chrono::milliseconds step,
                                 std::size_t sleepers, std::chrono::milliseconds realTimeout)
{
    if (step <= std::chrono::milliseconds(0)) {
        return false;
    }
    for (auto done = std::chrono::milliseconds(0); done < total; done += step) {
        if (!waitForSleepers(sleepers, realTimeout)) {
            return false;
        }
        advance(std::min(step, total - done));
    }
    return true;
}

std::size_t ManualClock::sleeperCount() const
{
    std::lock_guard guard(m_mutex);
    return m_sleepers.size();
}

bool ManualClock::waitForSleepers(std::size_t count, std::chrono::milliseconds realTimeout) const
{
    std::unique_lock lock(m_mutex);
    return m_sleepersChanged.wait_for(lock, realTimeout,
                                      [&] { return m_sleepers.size() >= count; });
}
