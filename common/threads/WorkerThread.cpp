#include "threads/WorkerThread.h"

#include <algorithm>
#include <exception>

WorkerThread::WorkerThread(Body body, Clock& clock, Wake wake)
    : m_body(std::move(body))
    , m_clock(clock)
    , m_wake(std::move(wake))
{ }

WorkerThread::~WorkerThread()
{
    // The owner's members that the body uses still exist: this is its last member.
    requestStop();
    join();
}

bool WorkerThread::start()
{
    std::lock_guard control(m_controlMutex);
    const ThreadState current = state();
    if (current == ThreadState::Started || current == ThreadState::Running) {
        // A second body on the same object would share its members with the first.
        return true;
    }
    if (m_thread.joinable()) {
        // The old body has returned; its thread only has to end, so this join is short.
        m_thread.join();
    }
    {
        std::lock_guard guard(m_stopMutex);
        m_stopSource = std::stop_source();
    }
    {
        std::lock_guard guard(m_endMutex);
        m_ended = false;
    }
    setLastError({});
    // Set before the thread exists, so it can never overwrite the thread's own Running or
    // Finished.
    m_state.store(ThreadState::Started, std::memory_order_release);
    try {
        m_thread = std::thread(&WorkerThread::threadMain, this);
    } catch (const std::exception& e) {
        // std::thread reports a refused thread by throwing; the caller learns it from the state.
        setLastError(std::string("cannot start a worker thread: ") + e.what());
        m_state.store(ThreadState::StartFailed, std::memory_order_release);
        std::lock_guard guard(m_endMutex);
        m_ended = true;
        m_endChanged.notify_all();
    }
    return true;
}

void WorkerThread::threadMain()
{
    m_state.store(ThreadState::Running, std::memory_order_release);
    try {
        m_body(*this);
    } catch (const std::exception& e) {
        // An escaping exception would end the whole process; keep it as the thread's error.
        setLastError(std::string("the worker thread's body ended with an exception: ") + e.what());
    } catch (...) {
        setLastError("the worker thread's body ended with an unknown exception");
    }
    m_state.store(ThreadState::Finished, std::memory_order_release);
    // Notified under the mutex: once a waiter sees m_ended it may destroy this object, so the
    // condition variable must not be touched after the mutex is released.
    std::lock_guard guard(m_endMutex);
    m_ended = true;
    m_endChanged.notify_all();
}

void WorkerThread::requestStop()
{
    {
        std::lock_guard guard(m_stopMutex);
        m_stopSource.request_stop();
    }
    if (m_wake) {
        m_wake();
    }
}

bool WorkerThread::stopRequested() const
{
    std::lock_guard guard(m_stopMutex);
    return m_stopSource.stop_requested();
}

bool WorkerThread::sleepFor(std::chrono::milliseconds duration)
{
    std::stop_token token;
    {
        std::lock_guard guard(m_stopMutex);
        token = m_stopSource.get_token();
    }
    return m_clock.sleepFor(duration, std::move(token));
}

void WorkerThread::join()
{
    (void)waitForEndUntil(nullptr);
}

bool WorkerThread::waitForEnd(std::chrono::milliseconds timeout)
{
    const auto bounded = std::clamp(timeout, std::chrono::milliseconds(0), Clock::longestWait);
    const auto deadline = std::chrono::steady_clock::now() + bounded;
    return waitForEndUntil(&deadline);
}

bool WorkerThread::waitForEndUntil(const std::chrono::steady_clock::time_point* deadline)
{
    {
        std::lock_guard control(m_controlMutex);
        if (m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id()) {
            return false;
        }
    }
    {
        std::unique_lock lock(m_endMutex);
        const auto ended = [this] { return m_ended; };
        if (deadline == nullptr) {
            m_endChanged.wait(lock, ended);
        } else if (!m_endChanged.wait_until(lock, *deadline, ended)) {
            return false;
        }
    }
    std::lock_guard control(m_controlMutex);
    bool ended = false;
    {
        std::lock_guard guard(m_endMutex);
        ended = m_ended;
    }
    // When a new start() came in between, m_thread is the new thread: leave it to its owner.
    if (ended && m_thread.joinable()) {
        m_thread.join();
    }
    return true;
}

void WorkerThread::setLastError(std::string text)
{
    std::lock_guard guard(m_errorMutex);
    m_lastError = std::move(text);
}

std::string WorkerThread::lastErrorText() const
{
    std::lock_guard guard(m_errorMutex);
    return m_lastError;
}
