#include "net/TcpSocket.h"

#include "net/HostLookup.h"
#include "net/NetText.h"
#include "net/ServicePort.h"
#include "net/SystemCalls.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>

namespace {

constexpr int kLingerSeconds = 30;

std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// Waits up to waitMs (below 0: without limit) for the events on the handle, resuming after
// signals with the time that is left: 1 when they came, 0 when the time ran out, -1 on failure,
// -2 when the wake-up handle (when not -1) turned readable first.
int waitForEvents(int handle, short events, int waitMs, int wakeHandle = -1)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs < 0 ? 0 : waitMs);
    int left = waitMs;
    for (;;) {
        pollfd entries[2] = {{handle, events, 0}, {wakeHandle, POLLIN, 0}};
        const nfds_t count = wakeHandle >= 0 ? 2 : 1;
        const int result = SystemCalls::current().poll(entries, count, left < 0 ? -1 : left);
        if (result >= 0) {
            if (count == 2 && entries[1].revents != 0) {
                return -2;
            }
            return result > 0 ? 1 : 0;
        }
        if (errno != EINTR) {
            return -1;
        }
        if (waitMs >= 0) {
            const auto remaining
                = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            left = remaining.count() > 0 ? static_cast<int>(remaining.count()) : 0;
        }
    }
}

} // namespace

TcpSocket::TcpSocket(bool cancellableLookup)
    : m_cancellableLookup(cancellableLookup)
{ }

TcpSocket::TcpSocket(int acceptedHandle)
    : m_handle(acceptedHandle < 0 ? -1 : acceptedHandle)
{ }

TcpSocket::~TcpSocket()
{
    close();
}

bool TcpSocket::bind(std::string_view port)
{
    close();
    std::uint16_t networkPort = 0;
    std::string why;
    if (!ServicePort::resolve(port, "tcp", networkPort, why)) {
        fail(SocketError::UnknownService, "cannot bind: " + why);
        return false;
    }
    const std::string what = "bind to port " + std::to_string(ntohs(networkPort));
    if (!openSocket(what)) {
        return false;
    }
    applyStandardOptions();
    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_port = networkPort;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (SystemCalls::current().bind(m_handle, reinterpret_cast<const sockaddr*>(&local),
                                    sizeof local)
        != 0) {
        const int error = errno;
        close();
        const SocketError code = error == EADDRINUSE ? SocketError::AddressInUse
            : error == ENETDOWN                      ? SocketError::NetworkDown
                                                     : SocketError::BindFailed;
        fail(code, what + " failed: " + systemErrorText(error));
        return false;
    }
    m_port = ntohs(networkPort);
    return true;
}

std::unique_ptr<TcpSocket> TcpSocket::acceptConnection(int waitMs, int backlog)
{
    if (m_handle < 0) {
        fail(toCode(SocketError::SystemBase) + EBADF, "cannot accept: the socket is not bound");
        return nullptr;
    }
    SystemCalls& calls = SystemCalls::current();
    const std::string where = "port " + std::to_string(m_port);
    if (calls.listen(m_handle, backlog) != 0) {
        failWithErrno(errno, "listen on " + where);
        return nullptr;
    }
    int savedFlags = -1;
    if (waitMs > 0) {
        const int ready = waitForEvents(m_handle, POLLIN, waitMs);
        if (ready <= 0) {
            if (ready == 0) {
                fail(SocketError::TimedOut,
                     "no connection on " + where + " within " + std::to_string(waitMs) + " ms");
            } else {
                failWithErrno(errno, "wait for a connection on " + where);
            }
            return nullptr;
        }
        // The waiting connection may be reset before it is taken; without this the accept
        // would then block far beyond the waiting time.
        savedFlags = calls.fcntl(m_handle, F_GETFL, 0);
        if (savedFlags >= 0) {
            calls.fcntl(m_handle, F_SETFL, savedFlags | O_NONBLOCK);
        }
    }
    int accepted = -1;
    do {
        accepted = calls.accept(m_handle, nullptr, nullptr, SOCK_CLOEXEC);
    } while (accepted < 0 && errno == EINTR);
    const int error = errno;
    if (savedFlags >= 0) {
        calls.fcntl(m_handle, F_SETFL, savedFlags);
    }
    if (accepted < 0) {
        failWithErrno(error, "accept on " + where);
        return nullptr;
    }
    return std::make_unique<TcpSocket>(accepted);
}

bool TcpSocket::connect(std::string_view host, std::string_view port)
{
    close();
    std::uint32_t address = 0;
    if (!lookUpHost(host, address)) {
        return false;
    }
    std::uint16_t networkPort = 0;
    std::string why;
    if (!ServicePort::resolve(port, nullptr, networkPort, why)) {
        fail(SocketError::UnknownService, "cannot connect to " + quoted(host) + ": " + why);
        return false;
    }
    in_addr peerAddress {};
    peerAddress.s_addr = address;
    const std::string what = "connect to " + quoted(host) + " (" + dottedAddress(peerAddress)
        + ") port " + std::to_string(ntohs(networkPort));
    if (!openSocket(what)) {
        return false;
    }
    applyStandardOptions();
    sockaddr_in peer {};
    peer.sin_family = AF_INET;
    peer.sin_port = networkPort;
    peer.sin_addr = peerAddress;
    int error = 0;
    if (!connectHandle(&peer, sizeof peer, error)) {
        close();
        if (error == ECANCELED) {
            fail(SocketError::Cancelled, what + " was cancelled");
            return false;
        }
        const SocketError code = error == ENETUNREACH ? SocketError::Unreachable
            : error == ETIMEDOUT                      ? SocketError::TimedOut
            : error == ECONNREFUSED                   ? SocketError::Refused
                                                      : SocketError::SystemBase;
        const std::string reason = error == ETIMEDOUT && m_connectTimeoutMs > 0
            ? "no answer within " + std::to_string(m_connectTimeoutMs) + " ms"
            : systemErrorText(error);
        m_lastError = code == SocketError::SystemBase ? toCode(code) + error : toCode(code);
        m_lastErrorText = what + " failed: " + reason;
        m_systemError = error;
        return false;
    }
    m_port = ntohs(networkPort);
    return true;
}

void TcpSocket::cancelLookup()
{
    std::shared_ptr<HostLookup> pending;
    {
        std::lock_guard lock(m_lookupGuard);
        pending = m_pendingLookup;
    }
    if (pending) {
        pending->cancel();
    }
}

bool TcpSocket::receive(char* buffer, std::size_t& length, int waitMs)
{
    const std::size_t capacity = length;
    length = 0;
    if (m_handle < 0 || (buffer == nullptr && capacity > 0)) {
        fail(toCode(SocketError::SystemBase) + EBADF, "cannot receive: there is no connection");
        return false;
    }
    const int ready = waitForEvents(m_handle, POLLIN, waitMs);
    if (ready <= 0) {
        if (ready == 0) {
            fail(SocketError::TimedOut,
                 "nothing to receive within " + std::to_string(waitMs) + " ms");
        } else {
            failWithErrno(errno, "wait to receive");
        }
        return false;
    }
    ssize_t received = -1;
    do {
        received = SystemCalls::current().recv(m_handle, buffer, capacity, 0);
    } while (received < 0 && errno == EINTR);
    if (received < 0) {
        failWithErrno(errno, "receive");
        return false;
    }
    length = static_cast<std::size_t>(received);
    return true;
}

bool TcpSocket::send(const void* data, std::size_t length)
{
    if (m_handle < 0 || (data == nullptr && length > 0)) {
        fail(toCode(SocketError::SystemBase) + EBADF, "cannot send: there is no connection");
        return false;
    }
    ssize_t sent = -1;
    do {
        // MSG_NOSIGNAL: a peer that has gone must give a failed send, not end the process.
        sent = SystemCalls::current().send(m_handle, data, length, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) {
        failWithErrno(errno, "send of " + std::to_string(length) + " bytes");
        return false;
    }
    if (static_cast<std::size_t>(sent) != length) {
        fail(SocketError::SystemBase,
             "send of " + std::to_string(length) + " bytes failed: only " + std::to_string(sent)
                 + " were taken");
        return false;
    }
    return true;
}

bool TcpSocket::setKeepAlive(bool on)
{
    const int value = on ? 1 : 0;
    return m_handle >= 0
        && SystemCalls::current().setSockOpt(m_handle, SOL_SOCKET, SO_KEEPALIVE, &value,
                                             sizeof value)
        == 0;
}

bool TcpSocket::setLinger(bool on, int seconds)
{
    linger value {};
    value.l_onoff = on ? 1 : 0;
    value.l_linger = seconds;
    return m_handle >= 0
        && SystemCalls::current().setSockOpt(m_handle, SOL_SOCKET, SO_LINGER, &value, sizeof value)
        == 0;
}

bool TcpSocket::setNoDelay(bool on)
{
    const int value = on ? 1 : 0;
    return m_handle >= 0
        && SystemCalls::current().setSockOpt(m_handle, IPPROTO_TCP, TCP_NODELAY, &value,
                                             sizeof value)
        == 0;
}

bool TcpSocket::setReuseAddress(bool on)
{
    m_reuseAddress = on;
    const int value = on ? 1 : 0;
    return m_handle >= 0
        && SystemCalls::current().setSockOpt(m_handle, SOL_SOCKET, SO_REUSEADDR, &value,
                                             sizeof value)
        == 0;
}

bool TcpSocket::close()
{
    if (m_handle < 0) {
        return false;
    }
    // Not retried on EINTR: the handle is released either way, and it may already be reused.
    SystemCalls::current().close(m_handle);
    m_handle = -1;
    return true;
}

int TcpSocket::release()
{
    const int handle = m_handle;
    m_handle = -1;
    return handle;
}

bool TcpSocket::peerAddress(std::string& address) const
{
    if (m_handle < 0) {
        return false;
    }
    sockaddr_in peer {};
    socklen_t length = sizeof peer;
    if (SystemCalls::current().getPeerName(m_handle, reinterpret_cast<sockaddr*>(&peer), &length)
            != 0
        || length < sizeof peer || peer.sin_family != AF_INET) {
        return false;
    }
    address = dottedAddress(peer.sin_addr);
    return true;
}

int TcpSocket::localPort() const
{
    if (m_handle < 0) {
        return 0;
    }
    sockaddr_in local {};
    socklen_t length = sizeof local;
    if (SystemCalls::current().getSockName(m_handle, reinterpret_cast<sockaddr*>(&local), &length)
            != 0
        || local.sin_family != AF_INET) {
        return 0;
    }
    return ntohs(local.sin_port);
}

bool TcpSocket::resolveHost(std::string_view host, std::string& address)
{
    const HostLookup::Result result = HostLookup::resolve(host);
    if (result.outcome != HostLookup::Outcome::Found) {
        return false;
    }
    address = dottedAddress(result.address);
    return true;
}

int TcpSocket::pendingLookups()
{
    return HostLookup::pendingThreads();
}

bool TcpSocket::waitForPendingLookups(int waitMs)
{
    return HostLookup::waitForThreads(waitMs);
}

bool TcpSocket::lookUpHost(std::string_view host, std::uint32_t& address)
{
    const std::string name(host);
    in_addr dotted {};
    if (name.find('\0') == std::string::npos && inet_aton(name.c_str(), &dotted) != 0) {
        address = dotted.s_addr;
        return true;
    }
    HostLookup::Result result;
    if (m_cancellableLookup) {
        std::shared_ptr<HostLookup> lookup;
        {
            // Started under the guard, so a cancel that comes once the lookup runs finds it.
            std::lock_guard lock(m_lookupGuard);
            lookup = m_pendingLookup = std::make_shared<HostLookup>(host);
        }
        // Whoever signals the wake-up before cancelling finds the lookup pending, or is seen here.
        if (woken()) {
            lookup->cancel();
        }
        result = lookup->wait(m_lookupTimeoutMs);
        {
            std::lock_guard lock(m_lookupGuard);
            m_pendingLookup.reset();
        }
        if (result.outcome == HostLookup::Outcome::Cancelled && woken()) {
            fail(SocketError::Cancelled, "the lookup of host " + quoted(host) + " was cancelled");
            return false;
        }
    } else {
        result = HostLookup::resolve(host);
    }
    switch (result.outcome) {
    case HostLookup::Outcome::Found:
        address = result.address.s_addr;
        return true;
    case HostLookup::Outcome::Cancelled:
        fail(SocketError::HostNotFound, "the lookup of host " + quoted(host) + " was cancelled");
        return false;
    case HostLookup::Outcome::TimedOut:
        fail(SocketError::HostNotFound,
             "the lookup of host " + quoted(host) + " ran out of time: " + result.detail);
        return false;
    case HostLookup::Outcome::NotFound:
        break;
    }
    fail(SocketError::HostNotFound, "host " + quoted(host) + " not found: " + result.detail);
    return false;
}

bool TcpSocket::openSocket(std::string_view what)
{
    m_handle = SystemCalls::current().socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_handle < 0) {
        const int error = errno;
        m_handle = -1;
        fail(SocketError::SocketNotCreated,
             "cannot create a socket to " + std::string(what) + ": " + systemErrorText(error));
        m_systemError = error;
        return false;
    }
    return true;
}

void TcpSocket::applyStandardOptions()
{
    // As in every socket of the suite; a refused option does not stop the socket from working.
    (void)setKeepAlive(true);
    (void)setLinger(true, kLingerSeconds);
    if (m_reuseAddress) {
        (void)setReuseAddress(true);
    }
}

bool TcpSocket::connectHandle(const void* address, unsigned length, int& error)
{
    SystemCalls& calls = SystemCalls::current();
    int savedFlags = -1;
    // A blocking connect sleeps in the kernel where neither the limit nor a wake-up reaches it.
    if (m_connectTimeoutMs > 0 || m_wakeHandle >= 0) {
        savedFlags = calls.fcntl(m_handle, F_GETFL, 0);
        if (savedFlags >= 0) {
            calls.fcntl(m_handle, F_SETFL, savedFlags | O_NONBLOCK);
        }
    }
    error = 0;
    if (calls.connect(m_handle, static_cast<const sockaddr*>(address), length) != 0) {
        error = errno;
        // A signal does not stop a blocking connect: it goes on in the background, and its end
        // is awaited like that of a non-blocking one.
        if (error == EINPROGRESS || error == EINTR) {
            const int ready = waitForEvents(
                m_handle, POLLOUT, m_connectTimeoutMs > 0 ? m_connectTimeoutMs : -1, m_wakeHandle);
            if (ready == -2) {
                error = ECANCELED;
            } else if (ready == 0) {
                error = ETIMEDOUT;
            } else if (ready < 0) {
                error = errno;
            } else {
                int outcome = 0;
                socklen_t size = sizeof outcome;
                error = calls.getSockOpt(m_handle, SOL_SOCKET, SO_ERROR, &outcome, &size) == 0
                    ? outcome
                    : errno;
            }
        }
    }
    if (savedFlags >= 0) {
        calls.fcntl(m_handle, F_SETFL, savedFlags);
    }
    return error == 0;
}

void TcpSocket::fail(SocketError error, std::string text)
{
    fail(toCode(error), std::move(text));
}

void TcpSocket::fail(int code, std::string text)
{
    m_lastError = code;
    m_lastErrorText = std::move(text);
    m_systemError = 0;
}

void TcpSocket::failWithErrno(int error, std::string text)
{
    m_lastError = toCode(SocketError::SystemBase) + error;
    m_lastErrorText = std::move(text) + " failed: " + systemErrorText(error);
    m_systemError = error;
}

bool TcpSocket::woken() const
{
    if (m_wakeHandle < 0) {
        return false;
    }
    pollfd entry {m_wakeHandle, POLLIN, 0};
    return SystemCalls::current().poll(&entry, 1, 0) > 0;
}
