#pragma once

#include <string_view>

// The road by which the scheduler sends a due saved message: the send pipeline implements
// it by calling sendToRecipients with noHistory and quiet set and the given origin tag for
// that send's log lines. Called from the scheduler thread; the implementation serialises
// sends itself (the send lock) and shows nothing.
class ScheduledSender
{
public:
    virtual ~ScheduledSender() = default;

    // Sends `message` to the ";"-separated `recipients`, quietly and without adding it to
    // the message history, logging as `originTag` ("Sch(name)"). False only when the send
    // could not run at all; the scheduler does not look at the outcome.
    [[nodiscard]] virtual bool sendScheduled(std::string_view recipients, std::string_view message,
                                             std::string_view originTag)
        = 0;
};
