#include "FakeSystemCalls.h"

#include "TestFailure.h"
#include "net/TcpSocket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>

FakeSystemCalls::FakeSystemCalls()
{
    SystemCalls::install(this);
}

FakeSystemCalls::~FakeSystemCalls()
{
    releaseLookups();
    // The helpers still use this object; it must outlive every one of them.
    if (!TcpSocket::waitForPendingLookups(10000)) {
        testFailure("a lookup helper thread did not end");
    }
    if (m_resultsOutstanding.load() != 0) {
        testFailure(std::to_string(m_resultsOutstanding.load())
                    + " lookup results were not released");
    }
    SystemCalls::install(nullptr);
}

void FakeSystemCalls::holdLookups()
{
    std::lock_guard lock(m_mutex);
    m_holding = true;
}

void FakeSystemCalls::releaseLookups()
{
    {
        std::lock_guard lock(m_mutex);
        m_holding = false;
    }
    m_changed.notify_all();
}

bool FakeSystemCalls::waitForHeldLookups(int count, int waitMs)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(waitMs),
                              [this, count] { return m_held >= count; });
}

int FakeSystemCalls::heldLookups()
{
    std::lock_guard lock(m_mutex);
    return m_held;
}

std::vector<std::string> FakeSystemCalls::lookedUp()
{
    std::lock_guard lock(m_mutex);
    return m_lookedUp;
}

int FakeSystemCalls::getAddrInfo(const char* node, const char* service, const addrinfo* hints,
                                 addrinfo** result)
{
    {
        std::unique_lock lock(m_mutex);
        if (node != nullptr) {
            m_lookedUp.emplace_back(node);
        }
        if (m_holding) {
            ++m_held;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return !m_holding; });
            --m_held;
        }
    }
    if (m_lookupError != 0) {
        return m_lookupError;
    }
    in_addr dotted {};
    const bool local
        = node != nullptr && (std::strcmp(node, "localhost") == 0 || inet_aton(node, &dotted) != 0);
    if (!local) {
        return EAI_NONAME;
    }
    const int code = SystemCalls::getAddrInfo(node, service, hints, result);
    if (code == 0) {
        ++m_resultsOutstanding;
    }
    return code;
}

void FakeSystemCalls::freeAddrInfo(addrinfo* info)
{
    --m_resultsOutstanding;
    SystemCalls::freeAddrInfo(info);
}

int FakeSystemCalls::socket(int domain, int type, int protocol)
{
    if (m_socketError != 0) {
        errno = m_socketError;
        return -1;
    }
    return SystemCalls::socket(domain, type, protocol);
}

int FakeSystemCalls::bind(int handle, const sockaddr* address, socklen_t length)
{
    if (m_bindError != 0) {
        errno = m_bindError;
        return -1;
    }
    return SystemCalls::bind(handle, address, length);
}

int FakeSystemCalls::connect(int handle, const sockaddr* address, socklen_t length)
{
    if (m_connectError != 0) {
        errno = m_connectError;
        return -1;
    }
    return SystemCalls::connect(handle, address, length);
}

ssize_t FakeSystemCalls::send(int handle, const void* data, std::size_t length, int flags)
{
    if (m_sendError != 0) {
        errno = m_sendError;
        return -1;
    }
    return SystemCalls::send(handle, data, std::min(length, m_sendLimit.load()), flags);
}
