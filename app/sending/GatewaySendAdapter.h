#pragma once

#include "gateway/GatewaySender.h"

class Sender;

// The SNPP gateway's road to the send pipeline: a client's SEND goes through
// Sender::sendToRecipients quietly, without a history entry, under the client's origin tag
// ("SNPP(host)"), and the gateway learns the counts of the send.
class GatewaySendAdapter final : public GatewaySender
{
public:
    // An adapter sending through `sender`, which must outlive it.
    explicit GatewaySendAdapter(Sender& sender);

    // Sends and fills `counts` (pages sent, entries not sent, entries); false only when the
    // send could not start (the calling thread is already inside a send of the same sender),
    // and then `counts` is left as it was.
    [[nodiscard]] bool sendGatewayPages(std::string_view recipients, std::string_view message,
                                        std::string_view originTag,
                                        GatewaySendCounts& counts) override;

private:
    Sender& m_sender;
};
