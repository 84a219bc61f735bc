#include "FakeNetCalls.h"

#include "net/TcpSocket.h"

#include <cerrno>
#include <chrono>
#include <cstring>

FakeNetCalls::FakeNetCalls()
{
    SystemCalls::install(this);
}

FakeNetCalls::~FakeNetCalls()
{
    releaseLookups();
    (void)TcpSocket::waitForPendingLookups(10000);
    SystemCalls::install(nullptr);
}

void FakeNetCalls::holdLookups()
{
    const std::lock_guard lock(m_mutex);
    m_holding = true;
}

void FakeNetCalls::releaseLookups()
{
    {
        const std::lock_guard lock(m_mutex);
        m_holding = false;
    }
    m_changed.notify_all();
}

std::vector<std::string> FakeNetCalls::lookedUp()
{
    const std::lock_guard lock(m_mutex);
    return m_lookedUp;
}

int FakeNetCalls::heldLookups()
{
    const std::lock_guard lock(m_mutex);
    return m_held;
}

bool FakeNetCalls::waitForHeldLookup(int waitMs)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return m_held > 0; });
}

int FakeNetCalls::getAddrInfo(const char* node, const char* service, const addrinfo* hints,
                              addrinfo** result)
{
    if (node != nullptr) {
        const std::lock_guard lock(m_mutex);
        m_lookedUp.emplace_back(node);
    }
    if (node == nullptr || std::strcmp(node, "localhost") == 0) {
        return SystemCalls::getAddrInfo(node, service, hints, result);
    }
    std::unique_lock lock(m_mutex);
    if (m_holding) {
        ++m_held;
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return !m_holding; });
        --m_held;
    }
    return EAI_NONAME;
}

ssize_t FakeNetCalls::send(int handle, const void* data, std::size_t length, int flags)
{
    if (m_failSends) {
        errno = EPIPE;
        return -1;
    }
    return SystemCalls::send(handle, data, length, flags);
}
