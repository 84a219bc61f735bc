#pragma once

#include "threads/Clock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

// A flag that threads wait on, as the send frame's hand-offs need it: with manual reset it
// stays set until reset(); with automatic reset a wait that sees it set also clears it, so
// one set() releases one wait.
class FrameEvent
{
public:
    // How a successful wait treats the flag.
    enum class Reset { Manual, Automatic };

    // A cleared event whose waits are timed on `clock`.
    explicit FrameEvent(Reset reset, Clock& clock = Clock::system());
    FrameEvent(const FrameEvent&) = delete;
    FrameEvent& operator=(const FrameEvent&) = delete;

    // Sets the flag and wakes the waiters.
    void set();
    // Clears the flag.
    void reset();
    // Whether the flag is set (does not clear it).
    bool isSet() const;
    // Waits up to `timeout` for the flag; true when it was set (and, with automatic reset,
    // clears it), false when the time ran out.
    [[nodiscard]] bool wait(std::chrono::milliseconds timeout);

private:
    const Reset m_reset;
    Clock& m_clock;
    mutable std::mutex m_mutex;
    std::condition_variable_any m_changed;
    bool m_set = false;
};
