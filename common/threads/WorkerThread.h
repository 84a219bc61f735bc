#pragma once

#include "threads/Clock.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

// The life of a worker thread, in the values other parts of the suite read and show.
enum class ThreadState : std::uint8_t {
    NotStarted = 0, // start() has not been called
    Started = 1, // start() has been called; the thread has not begun its body yet
    StartFailed = 2, // the system could not create the thread; start() may be tried again
    Running = 3, // the body is running
    Finished = 5, // the body has returned; start() may run it again
};

// A long-running thread that its owner holds as a member (the SNPP gateway, the scheduler): a
// body, a state that any thread may read, a stop request (which also calls the owner's wake-up,
// so that waits of the body's own end too) and a sleep that a stop request cuts short, on an
// injectable clock.
//
// The thread is joined by construction: its destructor requests a stop, wakes the body and
// waits for it. Declare it as the owner's LAST member, so that it is destroyed (and the body
// has ended) before the members the body uses.
class WorkerThread final
{
public:
    // The thread's body; it is given the thread, for its sleeps and stop requests.
    using Body = std::function<void(WorkerThread&)>;
    // Cuts short what the body waits for besides sleepFor() (a poll on a wake-up descriptor).
    using Wake = std::function<void()>;

    // A thread that is not started yet, runs `body` at each start, sleeps on `clock` and calls
    // `wake` (when given) at each stop request.
    explicit WorkerThread(Body body, Clock& clock = Clock::system(), Wake wake = {});
    // Requests a stop and waits for the body to end.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts the body on a new thread with no stop request: the state is Started before the
    // thread can run, StartFailed when the system refuses the thread (lastErrorText() says why).
    // A finished or failed thread is started again; while the body has not finished yet
    // (Started or Running) nothing happens. Always returns true, as the state tells the outcome.
    bool start();
    // The current state; safe from any thread.
    ThreadState state() const { return m_state.load(std::memory_order_acquire); }
    // Asks the body to end: stopRequested() turns true, a sleepFor() in progress returns and
    // the wake-up is called.
    void requestStop();
    // Whether a stop was requested since the last start().
    bool stopRequested() const;
    // Waits until the body has finished and the thread has ended; returns at once when it was
    // never started, and when called from the thread itself (which cannot wait for itself).
    void join();
    // Waits up to `timeout` (real time) for the body to finish and joins the thread; true when
    // no body is running any more, false when it still runs or the caller is the thread itself.
    [[nodiscard]] bool waitForEnd(std::chrono::milliseconds timeout);
    // Why the last start failed or the last body ended with an exception ("" when neither).
    std::string lastErrorText() const;

    // Sleeps `duration` on the thread's clock; false as soon as a stop is requested.
    [[nodiscard]] bool sleepFor(std::chrono::milliseconds duration);
    // The clock the thread sleeps on.
    Clock& clock() const { return m_clock; }

private:
    void threadMain();
    bool waitForEndUntil(const std::chrono::steady_clock::time_point* deadline);
    void setLastError(std::string text);

    const Body m_body;
    Clock& m_clock;
    const Wake m_wake;
    std::atomic<ThreadState> m_state {ThreadState::NotStarted};

    std::mutex m_controlMutex; // guards m_thread; never held while waiting for the body
    std::thread m_thread;

    mutable std::mutex m_stopMutex; // guards m_stopSource, replaced at each start
    std::stop_source m_stopSource;

    std::mutex m_endMutex; // guards m_ended
    std::condition_variable m_endChanged;
    bool m_ended = true;

    mutable std::mutex m_errorMutex;
    std::string m_lastError;
};
