#pragma once

// A wake-up that another thread sends to a thread waiting in poll(): a descriptor that turns
// readable when signalled, to be polled beside the thread's own descriptors. Signals do not
// count up; it stays readable until clear() takes them all.
class WakeEvent
{
public:
    // Makes the descriptor; isValid() tells whether the system gave one.
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    // Makes the descriptor readable until the next clear(). Safe from any thread.
    void signal();
    // Makes the descriptor unreadable again.
    void clear();
    // The descriptor to poll for POLLIN; -1 when there is none (then waits do not wake).
    int fd() const { return m_fd; }
    // Whether the descriptor exists.
    bool isValid() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
