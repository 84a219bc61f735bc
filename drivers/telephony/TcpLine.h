#pragma once

#include "net/TcpSocket.h"
#include "telephony/CallingLine.h"
#include "telephony/LineConfig.h"

#include <string>
#include <string_view>

// A TCP connection to a paging terminal that takes IXO/TAP on a port. "Dialling" connects to
// the configured host and port (the number is not used: the terminal is reached by its
// address) on the line's thread, within connectTimeout: a connection gives Connected; a
// refused, reset or unanswered connection Disconnected (no connection was made); a host that
// cannot be found or a network that cannot be reached CallUnavailable; any other failure
// OtherError with 100 + the system's error number. The port needs no settings, and hang-up
// shuts the connection down and closes it.
class TcpLine final : public LineDevice, private CallHooks
{
public:
    // A line to the configured terminal, logging to `log` with `tag`.
    TcpLine(LineConfig config, LogFile& log, std::string_view tag);

    [[nodiscard]] bool dial(const std::string& number, CallObserver& observer) override;
    ByteLink* link() override { return m_call.link(); }
    // A connection has no serial settings: nothing to do.
    void configurePort() override { }
    // Nothing to put back.
    void restorePort() override { }
    void hangUp() override { m_call.hangUp(); }
    int lastError() const override { return m_call.lastError(); }

private:
    using Outcome = CallingLine::Outcome;

    Outcome placeCall();
    Outcome failedCall();
    void interruptAttempt() override;
    void endCall(int fd, bool connected, bool lost) override;
    void closeDescriptor(int fd) override;

    LogFile& m_log;
    std::string m_tag;
    LineConfig m_config;
    // Used by the line's thread; a hang-up only cancels its lookup (and signals the wake event,
    // which ends its waits). Once connected, the line's descriptor is taken from it.
    TcpSocket m_socket {true};
    CallingLine m_call; // last: it ends the call thread before the members above go
};
