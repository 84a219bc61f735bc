#pragma once

// A descriptor that becomes readable once signal() is called and stays so: threads that wait
// in poll() on a line's descriptor add it to wake up when the line is hung up.
class WakeEvent
{
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    // Makes the descriptor readable for good. Safe from any thread.
    void signal();
    // Whether signal() has been called.
    bool isSignalled() const;
    // The descriptor to poll for POLLIN (-1 when the system gave none; then waits do not wake).
    int fd() const { return m_fd; }

private:
    int m_fd;
};
