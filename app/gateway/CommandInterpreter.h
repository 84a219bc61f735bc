#pragma once

#include "gateway/GatewaySender.h"
#include "gateway/GatewayState.h"

#include <cstddef>
#include <string>
#include <string_view>

class AddressJudge;

// The settings that change how the gateway answers.
struct GatewayOptions
{
    bool fromAdbOnly = false; // only address-book entries are accepted by PAGE
    bool level2Login = false; // LOGI and LEVE are answered with 250
    int sessionTimeoutMs = 300000; // the longest session, relayed sends not counted
};

// The gateway's command interpreter for one client: each call takes the client's state and an
// input (a command line, a lost connection, the outcome of a send) and gives the new state,
// the replies, the log lines and what the session does next. It touches no socket and no
// file; the address book is only asked about names (through the judge).
class CommandInterpreter
{
public:
    // PAGE is refused when the identifier's length plus the pager list's reaches this.
    static constexpr std::size_t listFullLength = 507;

    // An interpreter for the client at `clientAddress` (dotted text), asking `judge` about
    // pager identifiers.
    CommandInterpreter(std::string clientAddress, GatewayOptions options, AddressJudge& judge);

    // The greeting sent when the client has been admitted.
    GatewayStep greeting(const GatewayState& state) const;
    // Acts on one command line (without its line end).
    GatewayStep step(const GatewayState& state, std::string_view line) const;
    // The connection was lost while `partial` of a line had been read: 400 with the partial
    // line, 221, and the connection is closed.
    GatewayStep lost(const GatewayState& state, std::string_view partial) const;
    // Reports a send that the step of a SEND asked for: `started` false when the send could
    // not be started, otherwise the counts. The pager list and the message are cleared.
    GatewayStep sendDone(const GatewayState& state, bool started,
                         const GatewaySendCounts& counts) const;

    // The origin tag of this client's sends: "SNPP(address)".
    std::string originTag() const;
    // The client's dotted address.
    const std::string& clientAddress() const { return m_client; }

private:
    GatewayStep page(const GatewayState& state, const std::string* id) const;
    GatewayStep message(const GatewayState& state, const std::string* text) const;
    std::string logText(const char* format, ...) const __attribute__((format(printf, 2, 3)));

    std::string m_client;
    GatewayOptions m_options;
    AddressJudge& m_judge;
};
