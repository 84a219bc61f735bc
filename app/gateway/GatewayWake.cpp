#include "GatewayWake.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

GatewayWake::GatewayWake()
    : m_handle(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{ }

GatewayWake::~GatewayWake()
{
    if (m_handle >= 0) {
        ::close(m_handle);
    }
}

void GatewayWake::signal()
{
    if (m_handle < 0) {
        return;
    }
    const std::uint64_t one = 1;
    // A full counter (which takes 2^64 - 2 signals) is still readable, so a failed write
    // loses nothing.
    (void)!::write(m_handle, &one, sizeof one);
}

void GatewayWake::clear()
{
    if (m_handle < 0) {
        return;
    }
    std::uint64_t count = 0;
    // Non-blocking: reading resets the counter, or fails at once when nothing was signalled.
    (void)!::read(m_handle, &count, sizeof count);
}
