#include "sending/GatewaySendAdapter.h"

#include "sending/Sender.h"

#include <cstdint>

GatewaySendAdapter::GatewaySendAdapter(Sender& sender)
    : m_sender(sender)
{ }

bool GatewaySendAdapter::sendGatewayPages(std::string_view recipients, std::string_view message,
                                          std::string_view originTag, GatewaySendCounts& counts)
{
    std::int32_t sent = 0;
    std::int32_t failed = 0;
    std::int32_t total = 0;
    if (!m_sender.sendToRecipients(recipients, message, true, true, originTag, &sent, &failed,
                                   &total)) {
        return false;
    }
    counts.sent = sent;
    counts.failed = failed;
    counts.total = total;
    return true;
}
