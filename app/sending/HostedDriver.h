#pragma once

#include "plugin/DispatchClient.h"
#include "sending/DriverDispatchIds.h"
#include "sending/PagingDriver.h"

#include <string>
#include <string_view>

class ControlLoader;
struct ControlOptions;

// The host side of one driver control: creates the control by its class identifier through
// the plug-in layer, turns each PagingDriver operation into one property get, property put
// or method call with the control's own dispatch numbers, and destroys the control at the
// end of its use. Used on the thread that created it.
class HostedDriver : public PagingDriver
{
public:
    // Destroys the control if it still exists.
    ~HostedDriver() override;
    HostedDriver(const HostedDriver&) = delete;
    HostedDriver& operator=(const HostedDriver&) = delete;

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

    std::int32_t getDebugLevel() override;
    void setDebugLevel(std::int32_t level) override;
    std::string getProviderName() override;
    void setProviderName(std::string_view name) override;
    std::string getClientName() override;
    void setClientName(std::string_view name) override;
    [[nodiscard]] std::int32_t send(std::string_view address) override;
    [[nodiscard]] std::int32_t addMessage(std::string_view recipient,
                                          std::string_view message) override;
    void clear() override;
    void showProperties() override;
    std::int32_t getMessageCount() override;
    std::int32_t getMessageResultCode(std::int16_t index) override;
    void AboutBox() override;

protected:
    // A wrapper for the control class `classId` with its dispatch numbers; `pluginName`
    // names the plug-in file that serves it ("kestrel": libkestrel.so) for a first run that
    // finds the class not registered.
    HostedDriver(std::string_view classId, const DriverDispatchIds& ids,
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
