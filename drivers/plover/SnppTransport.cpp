#include "plover/SnppTransport.h"

#include "net/SocketError.h"
#include "plover/PloverText.h"

SnppTransport::SnppTransport()
    : m_socket(true)
{ }

bool SnppTransport::connect(std::string_view host, std::string_view port, int lookupTimeoutMs)
{
    m_socket.setLookupTimeout(lookupTimeoutMs);
    return m_socket.connect(host, port);
}

void SnppTransport::cancelLookup()
{
    m_socket.cancelLookup();
}

void SnppTransport::close()
{
    m_socket.close();
}

std::string SnppTransport::failureStatus(int errorCode, std::string_view host)
{
    switch (static_cast<SocketError>(errorCode)) {
    case SocketError::HostNotFound:
        return PloverText::format("Server hostname (%.*s) not found", static_cast<int>(host.size()),
                                  host.data());
    case SocketError::SocketNotCreated:
        return "Cannot create socket";
    case SocketError::Refused:
        return "Connection refused";
    case SocketError::Unreachable:
        return "Network unreachable";
    case SocketError::TimedOut:
        return "Connection timeout";
    default:
        return PloverText::format("Connect failed (erc=%d)", errorCode);
    }
}
