#include "CPloverCtrl.h"

#include "CPloverDriver.h"
#include "PloverIds.h"
#include "PloverSettings.h"
#include "PloverText.h"
#include "ServerAddress.h"
#include "plugin/MemberTable.h"
#include "settings/SettingsKey.h"

namespace {

constexpr std::int32_t codeNoDriver = 1;
constexpr std::int32_t codeListFull = 207;
constexpr std::int32_t codeOtherError = 216;

} // namespace

CPloverCtrl::CPloverCtrl(std::shared_ptr<CPloverDriver> driver, ProgressViewFactory views,
                         void* parentWindow, std::unique_ptr<PloverDialogs> dialogs)
    : m_driver(std::move(driver))
    , m_views(std::move(views))
    , m_parentWindow(parentWindow)
    , m_dialogs(std::move(dialogs))
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

std::int32_t CPloverCtrl::addMessage(std::string_view recipient, std::string_view message)
{
    if (!m_driver) {
        return codeNoDriver;
    }
    if (!m_messages.add(recipient, message)) {
        m_driver->setLastError(codeListFull);
        return codeListFull;
    }
    return 0;
}

std::int32_t CPloverCtrl::send(std::string_view serverAddress)
{
    if (!m_driver) {
        return codeNoDriver;
    }
    const ServerAddress address = ServerAddress::parse(serverAddress);
    if (!address.hasHost()) {
        m_driver->setLastError(codeOtherError);
        m_driver->logOutsideSend(
            2,
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
    return m_driver->send(args, m_messages);
}

void CPloverCtrl::clear()
{
    if (m_driver) {
        m_messages.clear();
    }
}

std::int32_t CPloverCtrl::getMessageCount() const
{
    return m_driver ? m_messages.count() : codeNoDriver;
}

std::int32_t CPloverCtrl::getMessageResultCode(std::int16_t msgIndex) const
{
    if (!m_driver) {
        return codeNoDriver;
    }
    return static_cast<std::int32_t>(m_messages.result(msgIndex));
}

void CPloverCtrl::showProperties()
{
    if (!m_driver) {
        return;
    }
    if (!m_dialogs) {
        m_driver->logOutsideSend(5, "Settings dialog not shown: no dialogs in this process");
        return;
    }
    // The settings are read afresh at each opening; the dialog has no owner window.
    PloverSettings settings = PloverSettings::load();
    PloverDialogRecord record;
    record.port = std::to_string(settings.port);
    record.disconOnClose = settings.disconOnClose;
    std::string error;
    switch (m_dialogs->showProperties(record, error)) {
    case DialogOutcome::Accepted:
        // An empty box or one without a port number stores the default port.
        settings.port = PloverSettings::portFromText(
            std::string_view(record.port).substr(0, PloverDialogEntry::maxPortText));
        settings.disconOnClose = record.disconOnClose;
        if (!settings.saveDialogValues()) {
            m_driver->logOutsideSend(2,
                                     "Settings not stored: cannot write HKEY_CURRENT_USER\\"
                                         + std::string(PloverKeys::key));
        }
        break;
    case DialogOutcome::Rejected:
        break;
    case DialogOutcome::NotShown:
        m_driver->logOutsideSend(5, "Settings dialog not shown: " + error);
        break;
    }
}

void CPloverCtrl::aboutBox()
{
    if (!m_driver) {
        return;
    }
    if (m_dialogs) {
        AboutBoxSpec spec;
        spec.caption = PloverIds::aboutCaption;
        spec.text = PloverIds::aboutText;
        spec.tag = "plover";
        spec.parentWindow = m_parentWindow;
        std::string error;
        if (m_dialogs->showAbout(spec, error) != DialogOutcome::NotShown) {
            return;
        }
    }
    // Without a window the about box's line goes to the log.
    m_driver->logOutsideSend(5, PloverIds::aboutText);
}
