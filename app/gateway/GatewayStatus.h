#pragma once

#include <string>

// What the gateway thread's latest reading of its settings led to.
enum class GatewayOutcome {
    None, // the thread has not read its settings yet (or is reading them)
    Listening, // bound to the port, accepting clients
    Disabled, // SnppSrv\enabled is not set: the thread ended
    PortFailed, // the port could not be bound: the thread ended
    Stopped, // a shutdown was asked for: the thread ended
};

// The gateway thread's status, as a controlling thread reads it: each change counts up
// `serial`, so a reader that keeps the last serial it saw learns of every new outcome.
struct GatewayStatus
{
    unsigned serial = 0;
    GatewayOutcome outcome = GatewayOutcome::None;
    // The port text of the settings that led to the outcome ("" for None).
    std::string port;
    // PortFailed: the listener's error code and text (as logged "Cannot open server port").
    int error = 0;
    std::string errorText;
};
