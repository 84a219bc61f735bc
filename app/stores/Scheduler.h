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
class Scheduler
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

    // Starts the thread (see WorkerThread::start()).
    bool start() { return m_thread.start(); }
    // The thread's state; safe from any thread.
    ThreadState state() const { return m_thread.state(); }
    // Asks the thread to end after the send in progress; the scheduler's destruction does this
    // and waits.
    void requestStop() { m_thread.requestStop(); }
    // Waits up to `timeout` for the thread to end; true once it has.
    [[nodiscard]] bool waitForEnd(std::chrono::milliseconds timeout)
    {
        return m_thread.waitForEnd(timeout);
    }
    // Why the thread could not start or its body ended with an exception ("" when neither).
    std::string lastErrorText() const { return m_thread.lastErrorText(); }

    // The origin tag of a scheduled send: "Sch(" + the first 25 characters of the name + ")".
    static std::string originTag(std::string_view name);

    // Runs one pass at the clock's current time and returns how many messages it sent. The
    // thread calls it after each pause; call it directly only while the thread is not running.
    int runPass();

private:
    void run();
    std::int64_t secondsNow() const;

    SavedMessageStore& m_store;
    ScheduledSender& m_sender;
    std::chrono::milliseconds m_interval;
    WorkerThread m_thread; // last: it ends before the members its body uses
};
