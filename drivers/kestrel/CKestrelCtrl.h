#pragma once

#include "frame/ControlCore.h"
#include "frame/ProgressViewFactory.h"
#include "kestrel/KestrelDialogs.h"
#include "plugin/DispatchControl.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CKestrelDriver;

// The kestrel control as hosts drive it by dispatch number (_DKestrel): four properties, the
// message list with a result code per message, and send, which loads the driver's settings
// and runs one IXO/TAP transmission. The list belongs to this control alone.
class CKestrelCtrl final : public DispatchControl
{
public:
    // A control over the driver (null when it could not be made: the methods then answer 1),
    // getting each send's progress view from `views`, owned by the host's `parentWindow`, and
    // showing its settings dialog and about box through `dialogs` (null: it logs a line).
    CKestrelCtrl(std::shared_ptr<CKestrelDriver> driver, ProgressViewFactory views,
                 void* parentWindow = nullptr, std::unique_ptr<KestrelDialogs> dialogs = nullptr);
    ~CKestrelCtrl() override;

    DispatchStatus invoke(std::int32_t dispId, CallKind kind, std::span<const DispatchValue> args,
                          DispatchValue& result, std::string& error) override;

    // The members, as the dispatch table calls them.
    std::int32_t debugLevel() const { return m_debugLevel; }
    void setDebugLevel(std::int32_t level) { m_debugLevel = level; }
    std::string providerName() const { return m_providerName; }
    void setProviderName(std::string_view name) { m_providerName = name; }
    std::string clientName() const { return m_clientName; }
    void setClientName(std::string_view name) { m_clientName = name; }
    std::string logFileName() const { return m_logFileName; }
    void setLogFileName(std::string_view name) { m_logFileName = name; }
    [[nodiscard]] std::int32_t send(std::string_view pspAddress);
    [[nodiscard]] std::int32_t addMessage(std::string_view recipient, std::string_view message)
    {
        return m_core.addMessage(recipient, message);
    }
    void clear() { m_core.clear(); }
    void showProperties();
    std::int32_t getMessageCount() const { return m_core.getMessageCount(); }
    std::int32_t getMessageResultCode(std::int16_t msgIndex) const
    {
        return m_core.getMessageResultCode(msgIndex);
    }
    void aboutBox() { m_core.aboutBox(); }

private:
    std::shared_ptr<CKestrelDriver> m_driver;
    ProgressViewFactory m_views;
    void* m_parentWindow;
    std::unique_ptr<KestrelDialogs> m_dialogs;
    ControlCore m_core; // the message list and the members the drivers share
    std::int32_t m_debugLevel = 0;
    std::string m_providerName;
    std::string m_clientName = "kestrel";
    std::string m_logFileName;
};
