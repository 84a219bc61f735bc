#pragma once

#include "threads/WorkerThread.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

class SavedMessageStore;
class ScheduledSender;

// The scheduler thread: wakes every five seconds, takes the time once for the pass, and for
// each of the first 100 saved messages that is due (Schedule::isDue) marks it sent by
// writing the current time into its schedule's lastSent, and only when that write succeeded
// sends it through the ScheduledSender with the origin "Sch(name)". A message is marked
// before it is sent, so a failed send is not retried that day.
//
// The write is guarded by the record as the pass read it: when the user changed, moved or
// deleted the message in the meantime the write fails, nothing is sent, and the next pass
// looks at the store afresh.
class Scheduler : public WorkerThread
{
public:
    // The pause between passes.
    static constexpr std::chrono::milliseconds defaultInterval {5000};
    // How much of a message's name its origin tag carries.
    static constexpr std::size_t originNameLength = 25;

    // A scheduler of the store's messages that sends through `sender`, sleeping `interval`
    // on `clock` between passes. Both objects must outlive the scheduler.
    Scheduler(SavedMessageStore& store, ScheduledSender& sender, Clock& clock = Clock::system(),
              std::chrono::milliseconds interval = defaultInterval);
    // Stops the thread and waits for it (a send in progress is finished first).
    ~Scheduler() override;

    // The origin tag of a scheduled send: "Sch(" + the first 25 characters of the name + ")".
    static std::string originTag(std::string_view name);

    // Runs one pass at the clock's current time and returns how many messages it sent. The
    // thread calls it after each pause; call it directly only while the thread is not running.
    int runPass();

protected:
    void run() override;

private:
    std::int64_t secondsNow() const;

    SavedMessageStore& m_store;
    ScheduledSender& m_sender;
    std::chrono::milliseconds m_interval;
};
