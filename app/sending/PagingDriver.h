#pragma once

#include "plugin/DispatchClient.h"
#include "sending/DriverDispatchIds.h"

#include <cstdint>
#include <string>
#include <string_view>

class ControlLoader;
struct ControlOptions;

// The protocol-neutral face of a paging driver control, as the send pipeline and the options
// sheet's Protocols page use it; CKestrel and CPlover give it their control's class identifier
// and dispatch numbers. It creates the control through the plug-in layer, turns each of the
// thirteen operations (in the drivers' slot order) into one property get, property put or
// method call, and destroys the control at the end of its use. A wrapper whose control does
// not exist (or whose call fails) does nothing and answers with the `unavailable` values
// below. Used on the thread that created it.
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

    // Destroys the control if it still exists.
    virtual ~PagingDriver();
    PagingDriver(const PagingDriver&) = delete;
    PagingDriver& operator=(const PagingDriver&) = delete;

    // Creates the control through the loader with the host's wishes (progress window, owner,
    // cancel callback); false with lastErrorText() saying what failed on what.
    [[nodiscard]] bool create(ControlLoader& loader, const ControlOptions& options);
    // Destroys the control; calls made afterwards do nothing.
    void destroy();
    // Whether the control exists.
    bool isCreated() const { return m_control.isValid(); }
    // Why the latest failing creation or call failed ("" when none failed since the last
    // clearLastError()).
    const std::string& lastErrorText() const { return m_lastError; }
    // Forgets the latest failure.
    void clearLastError() { m_lastError.clear(); }
    // The class identifier of the hosted control.
    std::string_view classId() const { return m_classId; }
    // The dispatch numbers this wrapper calls.
    const DriverDispatchIds& dispatchIds() const { return m_ids; }

    // The driver's debug level property.
    std::int32_t getDebugLevel();
    // Sets the debug level property.
    void setDebugLevel(std::int32_t level);
    // The provider name shown in the driver's progress caption.
    std::string getProviderName();
    // Sets the provider name for the next send.
    void setProviderName(std::string_view name);
    // The client name the driver hands to its protocol.
    std::string getClientName();
    // Sets the client name.
    void setClientName(std::string_view name);
    // Runs one transmission of the loaded messages to the modem number or SNPP host[:port];
    // returns the driver's overall code (0 success).
    [[nodiscard]] std::int32_t send(std::string_view address);
    // Appends a message for the pager identifier (decimal text); 0, or 207 when the list is full.
    [[nodiscard]] std::int32_t addMessage(std::string_view recipient, std::string_view message);
    // Empties the message list.
    void clear();
    // Shows the driver's own settings dialog (modal).
    void showProperties();
    // The number of messages the driver holds.
    std::int32_t getMessageCount();
    // The result code of message `index` (2 for an index the driver does not hold).
    std::int32_t getMessageResultCode(std::int16_t index);
    // Shows the driver's about box (modal).
    void AboutBox();

protected:
    // A wrapper for the control class `classId` with its dispatch numbers; `pluginName`
    // names the plug-in file that serves it ("kestrel": libkestrel.so) for a first run that
    // finds the class not registered.
    PagingDriver(std::string_view classId, const DriverDispatchIds& ids,
                 std::string_view pluginName = {});

private:
    void noteCall(bool succeeded);
    std::int32_t intResult(bool succeeded, std::int32_t value, std::int32_t fallback);
    std::string textResult(bool succeeded, std::string value);

    std::string_view m_classId;
    std::string_view m_pluginName;
    DriverDispatchIds m_ids;
    DispatchClient m_control;
    std::string m_lastError;
};
