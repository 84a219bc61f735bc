#pragma once

// The error codes a TcpSocket reports through lastError(); 0 is no error. Codes at and above
// SystemBase are SystemBase plus the system's error number of a failed connect (or of a failed
// listen, accept, receive or send; a send the system took only in part gives SystemBase).
enum class SocketError : int {
    None = 0,
    HostNotFound = 1, // the host name was not found, or its lookup was cancelled or ran out of time
    UnknownService = 2, // the port text is neither a port number nor a known service name
    SocketNotCreated = 3, // the system refused to make a socket
    Refused = 4, // the peer refused the connection
    Unreachable = 5, // the peer's network cannot be reached
    TimedOut = 6, // the connection (or the wait for one) timed out
    AddressInUse = 7, // another socket holds the port
    BindFailed = 8, // any other bind failure
    NetworkDown = 9, // the network is down
    NotInitialised = 10, // the socket library is not started (never on this platform)
    Cancelled = 11, // the wake-up handle ended a connect in its lookup or its wait
    SystemBase = 100,
};

// The code as the number lastError() gives.
constexpr int toCode(SocketError error)
{
    return static_cast<int>(error);
}
