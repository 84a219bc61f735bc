#include "FreePort.h"

#include "TestFailure.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

FreePort::FreePort()
{
    const int handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0) {
        testFailure(std::string("cannot make a socket to find a free port: ")
                    + std::strerror(errno));
        return;
    }
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        testFailure(std::string("cannot find a free port on 127.0.0.1: ") + std::strerror(errno));
    } else {
        m_number = ntohs(address.sin_port);
    }
    ::close(handle);
    m_text = std::to_string(m_number);
}
