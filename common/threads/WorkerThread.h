#pragma once

#include "threads/Clock.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

// The life of a worker thread, in the values other parts of the suite read and show.
enum class ThreadState : std::uint8_t {
    NotStarted = 0, // start() has not been called
    Started = 1, // start() has been called; the thread has not begun its body yet
    StartFailed = 2, // the system could not create the thread; start() may be tried again
    Running = 3, // run() is running
    Finished = 5, // run() has returned; start() may run the body again
};

// The base of the suite's long-running threads (the SNPP gateway, the scheduler): a body in
// run(), a state that any thread may read, a stop request and a sleep that a stop request cuts
// short, on an injectable clock.
//
// Threads are joined by their owner. A derived class MUST call requestStop() and join() in its
// own destructor: its members (and its part of the object) are destroyed before
// ~WorkerThread() runs, so a body still running at that point would use a dead object. The
// base destructor requests a stop and joins only as a last resort, which is sound only for a
// body that has already returned.
class WorkerThread
{
public:
    // A thread that is not started yet and sleeps on `clock`.
    explicit WorkerThread(Clock& clock = Clock::system());
    // Requests a stop and joins (see the class comment: derived classes do this themselves).
    virtual ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts the body on a new thread with no stop request: the state is Started before the
    // thread can run, StartFailed when the system refuses the thread (lastErrorText() says why).
    // A finished or failed thread is started again; while the body has not finished yet
    // (Started or Running) nothing happens. Always returns true, as the state tells the outcome.
    bool start();
    // The current state; safe from any thread.
    ThreadState state() const { return m_state.load(std::memory_order_acquire); }
    // Asks the body to end: stopRequested() turns true and a sleepFor() in progress returns.
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

protected:
    // The thread's body.
    virtual void run() = 0;
    // Sleeps `duration` on the thread's clock; false as soon as a stop is requested.
    [[nodiscard]] bool sleepFor(std::chrono::milliseconds duration);
    // The clock the thread sleeps on.
    Clock& clock() const { return m_clock; }

private:
    void threadMain();
    bool waitForEndUntil(const std::chrono::steady_clock::time_point* deadline);
    void setLastError(std::string text);

    Clock& m_clock;
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
