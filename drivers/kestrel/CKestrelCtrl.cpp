#include "kestrel/CKestrelCtrl.h"

#include "kestrel/CKestrelDriver.h"
#include "kestrel/KestrelIds.h"
#include "kestrel/KestrelPropertiesFlow.h"
#include "kestrel/KestrelSettings.h"
#include "log/LogLevel.h"
#include "plugin/MemberTable.h"
#include "settings/SettingsKey.h"

namespace {

constexpr std::int32_t codeCallUnavailable = 215;

} // namespace

CKestrelCtrl::CKestrelCtrl(std::shared_ptr<CKestrelDriver> driver, ProgressViewFactory views,
                           void* parentWindow, std::unique_ptr<KestrelDialogs> dialogs)
    : m_driver(std::move(driver))
    , m_views(std::move(views))
    , m_parentWindow(parentWindow)
    , m_dialogs(std::move(dialogs))
    , m_core(m_driver.get(), m_dialogs.get(),
             AboutBoxRequest {std::string(KestrelIds::aboutCaption),
                              std::string(KestrelIds::aboutText), "kestrel", m_parentWindow})
{ }

CKestrelCtrl::~CKestrelCtrl() = default;

DispatchStatus CKestrelCtrl::invoke(std::int32_t dispId, CallKind kind,
                                    std::span<const DispatchValue> args, DispatchValue& result,
                                    std::string& error)
{
    using namespace KestrelIds;
    using Table = MemberTable<CKestrelCtrl>;
    static const Table table {
        Table::getter(DebugLevel, "debugLevel", &CKestrelCtrl::debugLevel),
        Table::setter(DebugLevel, "debugLevel", &CKestrelCtrl::setDebugLevel),
        Table::getter(ProviderName, "providerName", &CKestrelCtrl::providerName),
        Table::setter(ProviderName, "providerName", &CKestrelCtrl::setProviderName),
        Table::getter(ClientName, "clientName", &CKestrelCtrl::clientName),
        Table::setter(ClientName, "clientName", &CKestrelCtrl::setClientName),
        Table::getter(LogFileName, "logFileName", &CKestrelCtrl::logFileName),
        Table::setter(LogFileName, "logFileName", &CKestrelCtrl::setLogFileName),
        Table::method(Send, "send", &CKestrelCtrl::send),
        Table::method(AddMessage, "addMessage", &CKestrelCtrl::addMessage),
        Table::method(Clear, "clear", &CKestrelCtrl::clear),
        Table::method(ShowProperties, "showProperties", &CKestrelCtrl::showProperties),
        Table::method(GetMessageCount, "getMessageCount", &CKestrelCtrl::getMessageCount),
        Table::method(GetMessageResultCode, "getMessageResultCode",
                      &CKestrelCtrl::getMessageResultCode),
        Table::method(AboutBox, "AboutBox", &CKestrelCtrl::aboutBox),
    };
    return table.dispatch(*this, dispId, kind, args, result, error);
}

std::int32_t CKestrelCtrl::send(std::string_view pspAddress)
{
    if (!m_driver) {
        return ControlCore::codeNoDriver;
    }
    const SettingsKey key(RootKey::CurrentUser, KestrelSettings::key);
    const KestrelSettings::ForSend settings = KestrelSettings::loadForSend(key);
    if (settings.modems.present && settings.modems.devices.empty()) {
        m_driver->setLastError(codeCallUnavailable);
        m_driver->logOutsideSend(LogLevel::Errors,
                                 "Send refused: the modem device list (modemList) is empty");
        return codeCallUnavailable;
    }
    CKestrelDriver::SendArgs args;
    args.devices = settings.modems.devices;
    args.tap = settings.tap;
    args.clientName = m_clientName;
    args.providerName = m_providerName;
    args.number = std::string(pspAddress);
    args.viewFactory = m_views;
    args.parentWindow = m_parentWindow;
    args.timings = settings.timings;
    return m_driver->send(args, m_core.messages());
}

void CKestrelCtrl::showProperties()
{
    if (!m_core.settingsDialogAvailable()) {
        return;
    }
    // The settings and the devices are read afresh at each opening; the dialog has no owner.
    KestrelDialogRecord record;
    {
        const SettingsKey key(RootKey::CurrentUser, KestrelSettings::key);
        record = KestrelPropertiesFlow::open(KestrelSettings::loadForDialog(key),
                                             m_dialogs->lineDevices());
    }
    std::string error;
    if (!m_core.settingsAccepted(m_dialogs->showProperties(record, error), error)) {
        return;
    }
    SettingsKey key(RootKey::CurrentUser, KestrelSettings::key);
    if (!KestrelPropertiesFlow::store(key, record)) {
        m_core.settingsNotStored(key.name());
    }
}
