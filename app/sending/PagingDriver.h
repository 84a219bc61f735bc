#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The protocol-neutral face of a paging driver control, as the send pipeline and the
// options sheet's Protocols page use it. The thirteen operations keep the drivers' slot
// order. A wrapper whose control does not exist (or whose call fails) does nothing and
// answers with the `unavailable` values below.
class PagingDriver
{
public:
    // The most messages a driver's list holds for one transmission.
    static constexpr int maxMessages = 20;
    // The overall code of send() and addMessage() when the control cannot be called: the
    // host's "Protocol driver not available".
    static constexpr std::int32_t unavailableCode = 221;
    // The per-message code for an index the driver does not hold.
    static constexpr std::int32_t noSuchMessage = 2;

    virtual ~PagingDriver() = default;

    // The driver's debug level property.
    virtual std::int32_t getDebugLevel() = 0;
    // Sets the debug level property.
    virtual void setDebugLevel(std::int32_t level) = 0;
    // The provider name shown in the driver's progress caption.
    virtual std::string getProviderName() = 0;
    // Sets the provider name for the next send.
    virtual void setProviderName(std::string_view name) = 0;
    // The client name the driver hands to its protocol.
    virtual std::string getClientName() = 0;
    // Sets the client name.
    virtual void setClientName(std::string_view name) = 0;
    // Runs one transmission of the loaded messages to the modem number or SNPP host[:port];
    // returns the driver's overall code (0 success).
    [[nodiscard]] virtual std::int32_t send(std::string_view address) = 0;
    // Appends a message for the pager identifier (decimal text); 0, or 207 when the list is full.
    [[nodiscard]] virtual std::int32_t addMessage(std::string_view recipient,
                                                  std::string_view message)
        = 0;
    // Empties the message list.
    virtual void clear() = 0;
    // Shows the driver's own settings dialog (modal).
    virtual void showProperties() = 0;
    // The number of messages the driver holds.
    virtual std::int32_t getMessageCount() = 0;
    // The result code of message `index` (2 for an index the driver does not hold).
    virtual std::int32_t getMessageResultCode(std::int16_t index) = 0;
    // Shows the driver's about box (modal).
    virtual void AboutBox() = 0;
};
