#pragma once

#include <cstddef>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>

// The one seam between the suite and the operating system's calls. Every member wraps the
// system call of the same name, returns what it returns and leaves errno as it does; this base
// class is the real implementation. A test derives from it, overrides the calls whose faults it
// wants to produce on demand (a partial send, a lookup that never ends, a refused bind) and
// installs its object for the whole process. Installing is meant for tests and fault injection
// only, and must happen while no other thread makes system calls through the seam (that
// includes host-name lookups still running on their helper threads).
class SystemCalls
{
public:
    SystemCalls() = default;
    virtual ~SystemCalls();
    SystemCalls(const SystemCalls&) = delete;
    SystemCalls& operator=(const SystemCalls&) = delete;

    // The calls the process uses now: the installed object, or the real system.
    static SystemCalls& current();
    // Makes `calls` the process-wide calls (nullptr restores the real system). The caller keeps
    // the object alive until it has been replaced again. For tests and fault injection only.
    static void install(SystemCalls* calls);

    // getaddrinfo(3): host and service lookup; the result is released with freeAddrInfo.
    virtual int getAddrInfo(const char* node, const char* service, const addrinfo* hints,
                            addrinfo** result);
    // freeaddrinfo(3): releases a result of getAddrInfo made by the same object.
    virtual void freeAddrInfo(addrinfo* info);
    // getservbyname_r(3): a service entry by name and protocol (nullptr: any protocol).
    virtual int getServByName(const char* name, const char* protocol, servent* entry, char* buffer,
                              std::size_t bufferSize, servent** result);

    // socket(2).
    virtual int socket(int domain, int type, int protocol);
    // bind(2).
    virtual int bind(int handle, const sockaddr* address, socklen_t length);
    // listen(2).
    virtual int listen(int handle, int backlog);
    // accept4(2).
    virtual int accept(int handle, sockaddr* address, socklen_t* length, int flags);
    // connect(2).
    virtual int connect(int handle, const sockaddr* address, socklen_t length);
    // send(2).
    virtual ssize_t send(int handle, const void* data, std::size_t length, int flags);
    // recv(2).
    virtual ssize_t recv(int handle, void* buffer, std::size_t length, int flags);
    // setsockopt(2).
    virtual int setSockOpt(int handle, int level, int name, const void* value, socklen_t length);
    // getsockopt(2).
    virtual int getSockOpt(int handle, int level, int name, void* value, socklen_t* length);
    // getsockname(2).
    virtual int getSockName(int handle, sockaddr* address, socklen_t* length);
    // getpeername(2).
    virtual int getPeerName(int handle, sockaddr* address, socklen_t* length);

    // poll(2).
    virtual int poll(pollfd* handles, nfds_t count, int waitMs);
    // fcntl(2) with an integer argument (F_GETFL, F_SETFL, F_GETFD, F_SETFD).
    virtual int fcntl(int handle, int command, int argument);
    // shutdown(2).
    virtual int shutdown(int handle, int how);
    // close(2).
    virtual int close(int handle);
};
