#pragma once

#include "FreePort.h"
#include "net/TcpSocket.h"

#include <memory>

// A server bound to a free port, a client connected to it over 127.0.0.1 and the server's
// accepted end of that connection. Failures are reported to the running test; ready() tells
// whether the pair stands.
class LoopbackPair
{
public:
    // Connects; with cancellableLookup the client is made that way and connects to "localhost".
    explicit LoopbackPair(bool cancellableLookup = false);

    // Whether the client is connected and the server has accepted.
    bool ready() const { return client.isOpen() && accepted != nullptr; }

    FreePort port;
    TcpSocket server;
    TcpSocket client;
    std::unique_ptr<TcpSocket> accepted;
};
