#include "WakeEvent.h"

#include <cstdint>
#include <poll.h>
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
    // The counter is never read back, so the descriptor stays readable for every later wait.
    const std::uint64_t one = 1;
    if (m_fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(m_fd, &one, sizeof one);
    }
}

bool WakeEvent::isSignalled() const
{
    pollfd entry {m_fd, POLLIN, 0};
    return m_fd >= 0 && ::poll(&entry, 1, 0) == 1 && (entry.revents & POLLIN) != 0;
}
