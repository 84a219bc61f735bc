#include "telephony/TcpLine.h"

#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "net/SocketError.h"
#include "net/SystemCalls.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/socket.h>

namespace {

int otherError(int error)
{
    return 100 + error;
}

// The system's error number behind a failed connect of the socket.
int connectErrorOf(const TcpSocket& socket)
{
    switch (static_cast<SocketError>(socket.lastError())) {
    case SocketError::Refused:
        return ECONNREFUSED;
    case SocketError::Unreachable:
        return ENETUNREACH;
    case SocketError::TimedOut:
        return ETIMEDOUT;
    default:
        return socket.systemError();
    }
}

} // namespace

TcpLine::TcpLine(LineConfig config, LogFile& log, std::string_view tag)
    : m_log(log)
    , m_tag(tag)
    , m_config(std::move(config))
    , m_call(log, tag, *this)
{ }

bool TcpLine::dial(const std::string& number, CallObserver& observer)
{
    if (!m_call.beginDial()) {
        return false;
    }
    if (m_config.host.empty() || m_config.port <= 0 || m_config.port > 65535) {
        m_log.write(LogLevel::Errors, m_tag, "No line: the TCP line %s has no valid host and port",
                    m_config.key.c_str());
        return m_call.refuse(7);
    }
    if (m_call.wake().fd() < 0) {
        m_log.write(LogLevel::Errors, m_tag, "No line to %s: no event descriptor (%s)",
                    m_config.host.c_str(), std::strerror(errno));
        return m_call.refuse(7);
    }
    m_log.write(LogLevel::Debug3, m_tag, "Connecting to %s:%d for %s", m_config.host.c_str(),
                static_cast<int>(m_config.port), number.c_str());
    // The hang-up's wake event ends the lookup and the wait for the connection.
    m_socket.setWakeHandle(m_call.wake().fd());
    m_socket.setLookupTimeout(m_config.connectTimeout);
    m_socket.setConnectTimeout(m_config.connectTimeout);
    return m_call.startCall(observer, -1, [this] { return placeCall(); });
}

TcpLine::Outcome TcpLine::placeCall()
{
    if (!m_socket.connect(m_config.host, std::to_string(m_config.port))) {
        return failedCall();
    }
    // The suite's sockets linger on close; a hang-up must not wait for a peer that stopped
    // reading. TAP is an exchange of short blocks, each waiting for its answer.
    (void)m_socket.setLinger(false, 0);
    (void)m_socket.setNoDelay(true);
    const int fd = m_socket.release();
    if (!m_call.adoptDescriptor(fd)) {
        (void)SystemCalls::current().close(fd);
        return {};
    }
    m_log.write(LogLevel::Debug3, m_tag, "Connected to %s:%d", m_config.host.c_str(),
                static_cast<int>(m_config.port));
    if (!m_call.connect()) {
        return {};
    }
    return {CallEvent::Connected, 0};
}

TcpLine::Outcome TcpLine::failedCall()
{
    const char* const host = m_config.host.c_str();
    const int port = m_config.port;
    switch (static_cast<SocketError>(m_socket.lastError())) {
    case SocketError::Cancelled:
        // Hung up: nothing about the call is news any more.
        return {};
    case SocketError::HostNotFound:
        m_log.write(LogLevel::Errors, m_tag, "Cannot connect to %s: %s", host,
                    m_socket.lastErrorText().c_str());
        return {CallEvent::CallUnavailable, 0};
    case SocketError::SocketNotCreated:
        m_log.write(LogLevel::Errors, m_tag, "Cannot connect to %s:%d: no socket (%s)", host, port,
                    std::strerror(m_socket.systemError()));
        return {CallEvent::OtherError, otherError(m_socket.systemError())};
    default:
        break;
    }
    const int error = connectErrorOf(m_socket);
    switch (error) {
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
    m_socket.cancelLookup();
}

void TcpLine::endCall(int fd, bool connected, bool /*lost*/)
{
    if (connected) {
        (void)SystemCalls::current().shutdown(fd, SHUT_RDWR);
    }
}

void TcpLine::closeDescriptor(int fd)
{
    (void)SystemCalls::current().close(fd);
}
