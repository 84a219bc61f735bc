#pragma once

#include <string_view>

// The outcome of one relayed send: pages a driver reported as sent, recipient entries that
// were not sent, and the recipient entries of the list.
struct GatewaySendCounts
{
    int sent = 0;
    int failed = 0;
    int total = 0;
};

// The road by which the gateway relays a client's page: the send pipeline implements it with
// sendToRecipients, quiet and without adding the send to the message history. Called from the
// gateway thread; the implementation serialises sends itself (the send lock) and shows nothing.
class GatewaySender
{
public:
    virtual ~GatewaySender() = default;

    // Sends `message` to the ";"-separated `recipients` (empty entries do not count), logging
    // as `originTag` ("SNPP(host)"), and returns when the send is over. False only when the
    // send could not be started (counts are then not set).
    [[nodiscard]] virtual bool
    sendGatewayPages(std::string_view recipients, std::string_view message,
                     std::string_view originTag, GatewaySendCounts& counts)
        = 0;
};
