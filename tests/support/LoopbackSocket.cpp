#include "LoopbackSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Closes a socket that failed to set up, keeping the errno of the call that failed.
int closeFailed(int handle)
{
    const int error = errno;
    ::close(handle);
    errno = error;
    return -1;
}

} // namespace

int listenOnLoopback(int backlog, int& port)
{
    const int handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0) {
        return -1;
    }
    const int on = 1;
    (void)::setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::listen(handle, backlog) != 0
        || ::getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return closeFailed(handle);
    }
    port = ntohs(address.sin_port);
    return handle;
}

int connectToLoopback(int port, bool nonBlocking)
{
    const int handle
        = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0), 0);
    if (handle < 0) {
        return -1;
    }
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        && !(nonBlocking && errno == EINPROGRESS)) {
        return closeFailed(handle);
    }
    return handle;
}
