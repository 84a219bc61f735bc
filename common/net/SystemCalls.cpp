#include "net/SystemCalls.h"

#include <atomic>
#include <fcntl.h>
#include <unistd.h>

namespace {

SystemCalls& realCalls()
{
    // Never destroyed: helper threads may still use it while the process ends.
    static SystemCalls* real = new SystemCalls;
    return *real;
}

std::atomic<SystemCalls*>& installedCalls()
{
    static std::atomic<SystemCalls*> installed {nullptr};
    return installed;
}

} // namespace

SystemCalls::~SystemCalls() = default;

SystemCalls& SystemCalls::current()
{
    SystemCalls* calls = installedCalls().load(std::memory_order_acquire);
    return calls != nullptr ? *calls : realCalls();
}

void SystemCalls::install(SystemCalls* calls)
{
    installedCalls().store(calls, std::memory_order_release);
}

int SystemCalls::getAddrInfo(const char* node, const char* service, const addrinfo* hints,
                             addrinfo** result)
{
    return ::getaddrinfo(node, service, hints, result);
}

void SystemCalls::freeAddrInfo(addrinfo* info)
{
    ::freeaddrinfo(info);
}

int SystemCalls::getServByName(const char* name, const char* protocol, servent* entry, char* buffer,
                               std::size_t bufferSize, servent** result)
{
    return ::getservbyname_r(name, protocol, entry, buffer, bufferSize, result);
}

int SystemCalls::socket(int domain, int type, int protocol)
{
    return ::socket(domain, type, protocol);
}

int SystemCalls::bind(int handle, const sockaddr* address, socklen_t length)
{
    return ::bind(handle, address, length);
}

int SystemCalls::listen(int handle, int backlog)
{
    return ::listen(handle, backlog);
}

int SystemCalls::accept(int handle, sockaddr* address, socklen_t* length, int flags)
{
    return ::accept4(handle, address, length, flags);
}

int SystemCalls::connect(int handle, const sockaddr* address, socklen_t length)
{
    return ::connect(handle, address, length);
}

ssize_t SystemCalls::send(int handle, const void* data, std::size_t length, int flags)
{
    return ::send(handle, data, length, flags);
}

ssize_t SystemCalls::recv(int handle, void* buffer, std::size_t length, int flags)
{
    return ::recv(handle, buffer, length, flags);
}

int SystemCalls::setSockOpt(int handle, int level, int name, const void* value, socklen_t length)
{
    return ::setsockopt(handle, level, name, value, length);
}

int SystemCalls::getSockOpt(int handle, int level, int name, void* value, socklen_t* length)
{
    return ::getsockopt(handle, level, name, value, length);
}

int SystemCalls::getSockName(int handle, sockaddr* address, socklen_t* length)
{
    return ::getsockname(handle, address, length);
}

int SystemCalls::getPeerName(int handle, sockaddr* address, socklen_t* length)
{
    return ::getpeername(handle, address, length);
}

int SystemCalls::poll(pollfd* handles, nfds_t count, int waitMs)
{
    return ::poll(handles, count, waitMs);
}

int SystemCalls::fcntl(int handle, int command, int argument)
{
    return ::fcntl(handle, command, argument);
}

int SystemCalls::shutdown(int handle, int how)
{
    return ::shutdown(handle, how);
}

int SystemCalls::close(int handle)
{
    return ::close(handle);
}
