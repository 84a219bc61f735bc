#pragma once

#include "frame/SendDriver.h"
#include "frame/SendFrame.h"
#include "frame/StepEngine.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

// A driver whose protocol thread runs the test's function, counting the frame's calls.
class ScriptedDriver final : public SendDriver
{
public:
    std::function<void(SendFrame&)> body = [](SendFrame&) {};
    std::function<void()> onCancel = [] {};
    std::function<void()> onInterrupt = [] {};

    void runProtocol(SendFrame& frame) override { body(frame); }
    void cancelProtocol() override
    {
        ++cancels;
        onCancel();
    }
    void viewEnded() override { ++viewEnds; }
    void interruptProtocol() override
    {
        ++interrupts;
        onInterrupt();
    }

    std::atomic<int> cancels {0};
    std::atomic<int> viewEnds {0};
    std::atomic<int> interrupts {0};
};

// An engine that runs `steps` steps (each calling `onStep` with its number) and then ends; a
// stop request makes its next step the last.
class ScriptedEngine final : public StepEngine
{
public:
    explicit ScriptedEngine(
        int steps, std::function<void(int)> onStep = [](int) {})
        : m_steps(steps)
        , m_onStep(std::move(onStep))
    { }

    void start() override
    {
        ++starts;
        m_done = 0;
    }
    bool step() override
    {
        if (m_stop.load() || m_done >= m_steps) {
            return false;
        }
        m_onStep(m_done++);
        return true;
    }
    void requestStop() override { m_stop = true; }

    bool stopRequested() const { return m_stop.load(); }
    int stepsDone() const { return m_done; }

    int starts = 0;

private:
    const int m_steps;
    std::function<void(int)> m_onStep;
    std::atomic<bool> m_stop {false};
    int m_done = 0;
};

// A one-shot signal between the test and a protocol body.
class Latch
{
public:
    void open()
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    bool wait(std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [this] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
};
