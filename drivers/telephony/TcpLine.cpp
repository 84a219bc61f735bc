#include "telephony/TcpLine.h"

#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "net/HostLookup.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int otherError(int error)
{
    return 100 + error;
}

} // namespace

TcpLine::TcpLine(LineConfig config, LogFile& log, std::string_view tag)
    : CallingLine(log, tag)
    , m_config(std::move(config))
{ }

TcpLine::~TcpLine()
{
    finish();
}

bool TcpLine::dial(const std::string& number, CallObserver& observer)
{
    if (!beginDial()) {
        return false;
    }
    if (m_config.host.empty() || m_config.port <= 0 || m_config.port > 65535) {
        m_log.write(LogLevel::Errors, m_tag, "No line: the TCP line %s has no valid host and port",
                    m_config.key.c_str());
        return refuse(7);
    }
    if (m_wake.fd() < 0) {
        m_log.write(LogLevel::Errors, m_tag, "No line to %s: no event descriptor (%s)",
                    m_config.host.c_str(), std::strerror(errno));
        return refuse(7);
    }
    m_log.write(LogLevel::Debug3, m_tag, "Connecting to %s:%d for %s", m_config.host.c_str(),
                static_cast<int>(m_config.port), number.c_str());
    return startCall(observer, -1, [this] { return placeCall(); });
}

CallingLine::Outcome TcpLine::placeCall()
{
    in_addr address {};
    if (::inet_pton(AF_INET, m_config.host.c_str(), &address) != 1) {
        auto lookup = std::make_shared<HostLookup>(m_config.host);
        {
            std::lock_guard lock(m_lookupMutex);
            if (m_stopped) {
                return {};
            }
            m_lookup = lookup;
        }
        const HostLookup::Result result = lookup->wait(m_config.connectTimeout);
        {
            std::lock_guard lock(m_lookupMutex);
            m_lookup.reset();
        }
        if (result.outcome == HostLookup::Outcome::Cancelled) {
            return {};
        }
        if (result.outcome != HostLookup::Outcome::Found) {
            m_log.write(LogLevel::Errors, m_tag,
                        "Cannot connect to %s: the host was not found (%s)", m_config.host.c_str(),
                        result.detail.c_str());
            return {CallEvent::CallUnavailable, 0};
        }
        address = result.address;
    }
    return connectTo(address.s_addr);
}

CallingLine::Outcome TcpLine::connectTo(std::uint32_t address)
{
    const char* const host = m_config.host.c_str();
    const int port = m_config.port;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        const int error = errno;
        m_log.write(LogLevel::Errors, m_tag, "Cannot connect to %s:%d: no socket (%s)", host, port,
                    std::strerror(error));
        return {CallEvent::OtherError, otherError(error)};
    }
    if (!adoptDescriptor(fd)) {
        ::close(fd);
        return {};
    }
    sockaddr_in peer {};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<std::uint16_t>(port));
    peer.sin_addr.s_addr = address;
    int error = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        error = errno;
    }
    if (error == EINPROGRESS) {
        pollfd entries[2] = {{fd, POLLOUT, 0}, {m_wake.fd(), POLLIN, 0}};
        int ready;
        do {
            ready = ::poll(entries, 2, m_config.connectTimeout);
        } while (ready < 0 && errno == EINTR);
        if (entries[1].revents != 0) {
            return {};
        }
        socklen_t length = sizeof error;
        if (ready == 0) {
            error = ETIMEDOUT;
        } else if (ready < 0) {
            error = errno;
        } else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
            error = errno;
        }
    }
    switch (error) {
    case 0: {
        // TAP is an exchange of short blocks, each waiting for its answer.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        m_log.write(LogLevel::Debug3, m_tag, "Connected to %s:%d", host, port);
        if (!connect()) {
            return {};
        }
        return {CallEvent::Connected, 0};
    }
    case ECONNREFUSED:
    case ECONNRESET:
    case ETIMEDOUT:
        m_log.write(LogLevel::Errors, m_tag, "No connection to %s:%d: %s", host, port,
                    std::strerror(error));
        return {CallEvent::Disconnected, 0};
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
    case EHOSTDOWN:
        m_log.write(LogLevel::Errors, m_tag, "Cannot reach %s:%d: %s", host, port,
                    std::strerror(error));
        return {CallEvent::CallUnavailable, 0};
    default:
        m_log.write(LogLevel::Errors, m_tag, "Cannot connect to %s:%d: %s", host, port,
                    std::strerror(error));
        return {CallEvent::OtherError, otherError(error)};
    }
}

void TcpLine::interruptAttempt()
{
    std::lock_guard lock(m_lookupMutex);
    m_stopped = true;
    if (m_lookup) {
        m_lookup->cancel();
    }
}

void TcpLine::endCall(int fd, bool connected, bool /*lost*/)
{
    if (connected) {
        ::shutdown(fd, SHUT_RDWR);
    }
}

void TcpLine::closeDescriptor(int fd)
{
    ::close(fd);
}
