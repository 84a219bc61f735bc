#include "StreamPair.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

StreamPair StreamPair::sockets()
{
    int fds[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
        return StreamPair(-1, -1);
    }
    return StreamPair(fds[0], fds[1]);
}

StreamPair StreamPair::pseudoTerminal()
{
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        return StreamPair(-1, -1);
    }
    (void)::fcntl(master, F_SETFD, FD_CLOEXEC);
    (void)::fcntl(slave, F_SETFD, FD_CLOEXEC);
    termios settings {};
    if (::tcgetattr(slave, &settings) == 0) {
        ::cfmakeraw(&settings);
        (void)::tcsetattr(slave, TCSANOW, &settings);
    }
    return StreamPair(slave, master);
}

StreamPair::StreamPair(StreamPair&& other) noexcept
    : m_local(other.m_local)
    , m_remote(other.m_remote)
{
    other.m_local = -1;
    other.m_remote = -1;
}

StreamPair::~StreamPair()
{
    closeLocal();
    closeRemote();
}

void StreamPair::closeLocal()
{
    if (m_local >= 0) {
        ::close(m_local);
        m_local = -1;
    }
}

void StreamPair::closeRemote()
{
    if (m_remote >= 0) {
        ::close(m_remote);
        m_remote = -1;
    }
}
