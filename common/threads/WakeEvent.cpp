#include "threads/WakeEvent.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

WakeEvent::WakeEvent()
    : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{ }

WakeEvent::~WakeEvent()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void WakeEvent::signal()
{
    if (m_fd < 0) {
        return;
    }
    const std::uint64_t one = 1;
    // A full counter (which takes 2^64 - 2 signals) is still readable, so a failed write
    // loses nothing.
    (void)!::write(m_fd, &one, sizeof one);
}

void WakeEvent::clear()
{
    if (m_fd < 0) {
        return;
    }
    std::uint64_t count = 0;
    // Non-blocking: reading resets the counter, or fails at once when nothing was signalled.
    (void)!::read(m_fd, &count, sizeof count);
}
