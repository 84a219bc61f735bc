#include "plover/CPloverCtrl.h"

#include "log/LogLevel.h"
#include "plover/CPloverDriver.h"
#include "plover/PloverIds.h"
#include "plover/PloverSettings.h"
#include "plover/PloverText.h"
#include "plover/ServerAddress.h"
#include "plugin/MemberTable.h"
#include "settings/SettingsKey.h"

namespace {

constexpr std::int32_t codeOtherError = 216;

} // namespace

CPloverCtrl::CPloverCtrl(std::shared_ptr<CPloverDriver> driver, ProgressViewFactory views,
                         void* parentWindow, std::unique_ptr<PloverDialogs> dialogs)
    : m_driver(std::move(driver))
    , m_views(std::move(views))
    , m_parentWindow(parentWindow)
    , m_dialogs(std::move(dialogs))
    , m_core(m_driver.get(), m_dialogs.get(),
             AboutBoxRequest {std::string(PloverIds::aboutCaption),
                              std::string(PloverIds::aboutText), "plover", m_parentWindow})
{ }

CPloverCtrl::~CPloverCtrl() = default;

DispatchStatus CPloverCtrl::invoke(std::int32_t dispId, CallKind kind,
                                   std::span<const DispatchValue> args, DispatchValue& result,
                                   std::string& error)
{
    using namespace PloverIds;
    using Table = MemberTable<CPloverCtrl>;
    static const Table table {
        Table::getter(ClientName, "clientName", &CPloverCtrl::clientName),
        Table::setter(ClientName, "clientName", &CPloverCtrl::setClientName),
        Table::getter(ProviderName, "providerName", &CPloverCtrl::providerName),
        Table::setter(ProviderName, "providerName", &CPloverCtrl::setProviderName),
        Table::getter(DebugLevel, "debugLevel", &CPloverCtrl::debugLevel),
        Table::setter(DebugLevel, "debugLevel", &CPloverCtrl::setDebugLevel),
        Table::method(AddMessage, "addMessage", &CPloverCtrl::addMessage),
        Table::method(Send, "send", &CPloverCtrl::send),
        Table::method(Clear, "clear", &CPloverCtrl::clear),
        Table::method(GetMessageCount, "getMessageCount", &CPloverCtrl::getMessageCount),
        Table::method(GetMessageResultCode, "getMessageResultCode",
                      &CPloverCtrl::getMessageResultCode),
        Table::method(ShowProperties, "showProperties", &CPloverCtrl::showProperties),
        Table::method(AboutBox, "AboutBox", &CPloverCtrl::aboutBox),
    };
    return table.dispatch(*this, dispId, kind, args, result, error);
}

std::int32_t CPloverCtrl::send(std::string_view serverAddress)
{
    if (!m_driver) {
        return ControlCore::codeNoDriver;
    }
    const ServerAddress address = ServerAddress::parse(serverAddress);
    if (!address.hasHost()) {
        m_driver->setLastError(codeOtherError);
        m_driver->logOutsideSend(
            LogLevel::Errors,
            PloverText::format("Send refused: the server address \"%.*s\" names no host",
                               static_cast<int>(serverAddress.size()), serverAddress.data()));
        return codeOtherError;
    }
    // The settings are read at each send; nothing is kept from one send to the next.
    CPloverDriver::SendArgs args;
    args.settings = PloverSettings::load();
    args.timings = FrameTimings::load(SettingsKey(RootKey::CurrentUser, PloverKeys::key),
                                      CPloverDriver::defaultTimings());
    args.clientName = m_clientName;
    args.providerName = m_providerName;
    args.serverAddress = std::string(serverAddress);
    args.host = address.host();
    args.port = address.portOr(args.settings.port);
    args.viewFactory = m_views;
    args.parentWindow = m_parentWindow;
    return m_driver->send(args, m_core.messages());
}

void CPloverCtrl::showProperties()
{
    if (!m_core.settingsDialogAvailable()) {
        return;
    }
    // The settings are read afresh at each opening; the dialog has no owner window.
    PloverSettings settings = PloverSettings::load();
    PloverDialogRecord record;
    record.port = std::to_string(settings.port);
    record.disconOnClose = settings.disconOnClose;
    std::string error;
    if (!m_core.settingsAccepted(m_dialogs->showProperties(record, error), error)) {
        return;
    }
    // An empty box or one without a port number stores the default port.
    settings.port = PloverSettings::portFromText(
        std::string_view(record.port).substr(0, PloverDialogEntry::maxPortText));
    settings.disconOnClose = record.disconOnClose;
    if (!settings.saveDialogValues()) {
        m_core.settingsNotStored("HKEY_CURRENT_USER\\" + std::string(PloverKeys::key));
    }
}
