#pragma once

#include "net/TcpSocket.h"

#include <string>
#include <string_view>

// The SNPP driver's connection to its server: one TCP socket whose host-name lookup another
// thread may cancel. Made with the driver object and reused by each send, which connects anew.
// The protocol thread owns it during a send; only cancelLookup() may come from another thread.
class SnppTransport
{
public:
    // A transport without a connection.
    SnppTransport();

    // Connects to the host (dotted IPv4 address or name, looked up for at most lookupTimeoutMs)
    // and port (decimal number or service name). False with lastError() as TcpSocket gives it:
    // 1 host not found or lookup cancelled, 2 unknown port, 3 no socket, 4 refused,
    // 5 unreachable, 6 timed out, 100 + the system's error number otherwise.
    [[nodiscard]] bool connect(std::string_view host, std::string_view port, int lookupTimeoutMs);
    // Stops a pending host-name lookup at once (the connect fails with 1); nothing else.
    void cancelLookup();
    // Ends the connection, if any.
    void close();
    // The connection the engine talks over.
    TcpSocket& connection() { return m_socket; }

    // The code of the latest failed connect.
    int lastError() const { return m_socket.lastError(); }
    // What the latest failed connect failed on and why.
    const std::string& lastErrorText() const { return m_socket.lastErrorText(); }

    // The status text shown for a failed connect with the code, naming the host where it helps.
    static std::string failureStatus(int errorCode, std::string_view host);

private:
    TcpSocket m_socket;
};
