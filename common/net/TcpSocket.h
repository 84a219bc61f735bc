#pragma once

#include "net/SocketError.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

class HostLookup;

// One IPv4 TCP stream socket with the operations the suite needs: bind and accept with a
// waiting time (server side), connect with a host-name lookup that another thread may cancel
// (client side), receive with a waiting time, send, socket options and dotted addresses.
// Failures return false (or none) and leave a code (SocketError) and a text in the object; a
// wait that runs out in accept or receive leaves code 6, and their system failures and those of
// send leave 100 + the error number.
// One thread uses an object at a time; only cancelLookup() may come from another thread.
class TcpSocket
{
public:
    // The default lookup waiting time of a cancellable lookup, in milliseconds.
    static constexpr int kDefaultLookupTimeoutMs = 30000;

    // No socket yet. With cancellableLookup, connect() looks host names up on a helper thread
    // that the lookup waiting time bounds and cancelLookup() stops.
    explicit TcpSocket(bool cancellableLookup = false);
    // Owns a handle that accept gave (a negative handle means no socket).
    explicit TcpSocket(int acceptedHandle);
    // Closes the socket.
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Makes a new server socket bound to the port text on every local address: a decimal
    // number, or a TCP service name. Keep-alive on, linger 30 s, address reuse when the flag is
    // set. Codes: 2 unknown port, 3 no socket, 7 port in use, 9 network down, 8 other failures.
    [[nodiscard]] bool bind(std::string_view port);
    // Listens with the backlog and accepts one connection, waiting up to waitMs (0: without
    // limit). None when listening or accepting fails or the wait runs out; the caller owns it.
    [[nodiscard]] std::unique_ptr<TcpSocket> acceptConnection(int waitMs, int backlog);
    // Makes a new socket connected to the host (dotted IPv4 address or name) and port (decimal
    // number or service name of any protocol). Codes: 1 host not found, lookup cancelled or out
    // of time; 2 unknown port; 3 no socket; 4 refused; 5 unreachable; 6 timed out; 11 ended by
    // the wake-up handle; 100 + errno.
    [[nodiscard]] bool connect(std::string_view host, std::string_view port);
    // Makes a connect() that waits in a cancellable lookup fail at once with code 1. Does nothing
    // when no such lookup is pending or it has already finished. Safe from any thread.
    void cancelLookup();

    // Waits up to waitMs (below 0: without limit) until the socket is readable, then receives up
    // to `length` bytes. False with length 0 when the wait runs out or fails, or the receive
    // fails; true with the count received otherwise, 0 meaning the peer has closed.
    [[nodiscard]] bool receive(char* buffer, std::size_t& length, int waitMs);
    // Sends once; true only when the system took the whole length. A gone peer gives false,
    // never a signal.
    [[nodiscard]] bool send(const void* data, std::size_t length);

    // Switches SO_KEEPALIVE; false without a socket or when the system refuses.
    [[nodiscard]] bool setKeepAlive(bool on);
    // Switches SO_LINGER with the seconds; false without a socket or when the system refuses.
    [[nodiscard]] bool setLinger(bool on, int seconds);
    // Sets the reuse-address flag for later binds and connects and SO_REUSEADDR on the socket
    // there is; false without a socket or when the system refuses.
    [[nodiscard]] bool setReuseAddress(bool on);
    // Sets the lookup waiting time of cancellable lookups in milliseconds (default 30000).
    void setLookupTimeout(int waitMs) { m_lookupTimeoutMs = waitMs; }
    // Limits each connect to waitMs, failing with code 6 after it; 0 (default) leaves the limit
    // to the system.
    void setConnectTimeout(int waitMs) { m_connectTimeoutMs = waitMs; }
    // A descriptor (a WakeEvent's) that, once readable, ends a connect in its cancellable lookup
    // or its wait for the connection with code 11; -1 (default) for none.
    void setWakeHandle(int handle) { m_wakeHandle = handle; }
    // Switches TCP_NODELAY; false without a socket or when the system refuses.
    bool setNoDelay(bool on);

    // Closes the socket; false when there was none.
    bool close();
    // Gives the socket up without closing it: the caller owns the handle returned (-1: none).
    int release();
    // The peer's IPv4 address as "%d.%d.%d.%d"; false without a connection.
    bool peerAddress(std::string& address) const;
    // The local port the socket is bound to, in host order; 0 without a socket.
    int localPort() const;
    // The port of the last successful bind or connect, in host order; 0 before.
    int port() const { return m_port; }
    // Whether the object holds a socket.
    bool isOpen() const { return m_handle >= 0; }
    // The socket's handle; -1 without a socket.
    int handle() const { return m_handle; }

    // The code of the last failure (SocketError, or 100 + the system's error number).
    int lastError() const { return m_lastError; }
    // What the last failure was and on what (host, port).
    const std::string& lastErrorText() const { return m_lastErrorText; }
    // The system's error number behind the last failure; 0 when the system gave none.
    int systemError() const { return m_systemError; }

    // Looks the host up (blocking) and gives its first IPv4 address as "%d.%d.%d.%d".
    [[nodiscard]] static bool resolveHost(std::string_view host, std::string& address);
    // Lookup helper threads of abandoned lookups that have not ended yet.
    static int pendingLookups();
    // Waits up to waitMs (below 0: without limit) until no lookup helper thread runs; true then.
    [[nodiscard]] static bool waitForPendingLookups(int waitMs);

private:
    bool lookUpHost(std::string_view host, std::uint32_t& address);
    bool openSocket(std::string_view what);
    void applyStandardOptions();
    bool connectHandle(const void* address, unsigned length, int& error);
    bool woken() const;
    void fail(SocketError error, std::string text);
    void fail(int code, std::string text);
    void failWithErrno(int error, std::string text);

    int m_handle = -1;
    int m_port = 0;
    bool m_reuseAddress = false;
    bool m_cancellableLookup = false;
    int m_lookupTimeoutMs = kDefaultLookupTimeoutMs;
    int m_connectTimeoutMs = 0;
    int m_wakeHandle = -1;
    int m_lastError = 0;
    int m_systemError = 0;
    std::string m_lastErrorText;
    std::mutex m_lookupGuard; // guards m_pendingLookup against cancelLookup()
    std::shared_ptr<HostLookup> m_pendingLookup;
};
