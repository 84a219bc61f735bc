#pragma once

// A wake-up that another thread sends to a thread waiting on sockets: a descriptor that turns
// readable when signalled, to be polled beside the sockets. Signals do not count up; one
// clear() takes them all.
class GatewayWake
{
public:
    // Makes the descriptor; isValid() tells whether the system gave one.
    GatewayWake();
    ~GatewayWake();
    GatewayWake(const GatewayWake&) = delete;
    GatewayWake& operator=(const GatewayWake&) = delete;

    // Makes the descriptor readable. Safe from any thread.
    void signal();
    // Makes the descriptor unreadable again.
    void clear();
    // The descriptor to poll for readability; -1 when there is none.
    int handle() const { return m_handle; }
    // Whether the descriptor exists.
    bool isValid() const { return m_handle >= 0; }

private:
    int m_handle = -1;
};
