#pragma once

#include "sending/Sender.h"
#include "stores/ScheduledSender.h"

// The scheduler's road to the send pipeline: a due saved message goes quietly, without a
// history entry, under the scheduler's origin tag.
class SchedulerSendAdapter final : public ScheduledSender
{
public:
    // An adapter sending through `sender`, which must outlive it.
    explicit SchedulerSendAdapter(Sender& sender)
        : m_sender(sender)
    { }

    [[nodiscard]] bool sendScheduled(std::string_view recipients, std::string_view message,
                                     std::string_view originTag) override
    {
        return m_sender.sendToRecipients(recipients, message, true, true, originTag);
    }

private:
    Sender& m_sender;
};
