#include "cli/KnownSettings.h"

#include "directories/DirectorySettings.h"
#include "frame/FrameTimings.h"
#include "gateway/GatewaySettings.h"
#include "kestrel/KestrelSettings.h"
#include "plover/PloverSettings.h"
#include "services/ServeSettings.h"
#include "settings/SharedSettings.h"
#include "stores/StoreSettings.h"
#include "telephony/LineSettings.h"

#include <array>
#include <cctype>
#include <string>

namespace {

constexpr KnownSetting entry(std::string_view key, const StringSetting& setting)
{
    return {key, setting.name, ValueType::String, setting.numberAsText};
}

constexpr KnownSetting entry(std::string_view key, const NumberSetting& setting)
{
    return {key, setting.name, ValueType::Number, setting.textAsNumber};
}

constexpr KnownSetting entry(std::string_view key, const BoolSetting& setting)
{
    return {key, setting.name, ValueType::Number, false};
}

constexpr std::string_view linesKey = "SOFTWARE\\Tessal\\Norvane\\Kestrel\\Lines\\*";

namespace Shared = SharedSettings;
namespace Dirs = DirectorySettings;
namespace Lines = LineSettings;

// clang-format off
constexpr auto table = std::to_array<KnownSetting>({
    entry(Shared::Paths::key, Shared::Paths::home),
    entry(Shared::Paths::key, Shared::Paths::logFile),
    entry(Shared::Paths::key, Shared::Paths::pspDbs),
    entry(Shared::Paths::key, Shared::Paths::simpleAdb),
    entry(Shared::Paths::key, Shared::Paths::canMsgDbs),
    entry(Shared::Paths::key, Shared::Paths::msgDbs),
    entry(Shared::Log::key, Shared::Log::logLevel),
    entry(Shared::Log::key, Shared::Log::maxLogSize),
    entry(StoreSettings::Messages::key, StoreSettings::Messages::maxSavedCount),
    entry(Dirs::Adb::key, Dirs::Adb::adbType),
    entry(Dirs::Adb::key, Dirs::Adb::promptLogin),
    entry(Dirs::Adb::key, Dirs::Adb::profileName),
    entry(Dirs::Adb::key, Dirs::Adb::internetAdb),
    entry(Dirs::LdapSearch::key, Dirs::LdapSearch::bindWait),
    entry(Dirs::LdapSearch::key, Dirs::LdapSearch::searchLimit),
    entry(GatewaySettings::SnppSrv::key, GatewaySettings::SnppSrv::port),
    entry(GatewaySettings::SnppSrv::key, GatewaySettings::SnppSrv::enabled),
    entry(GatewaySettings::SnppSrv::key, GatewaySettings::SnppSrv::fromAdbOnly),
    entry(GatewaySettings::SnppSrv::key, GatewaySettings::SnppSrv::level2Login),
    entry(ServeSettings::key, ServeSettings::stopWaitMs),
    entry(PloverKeys::key, PloverKeys::port),
    entry(PloverKeys::key, PloverKeys::disconOnClose),
    entry(PloverKeys::key, PloverKeys::replyTimeout),
    entry(PloverKeys::key, PloverKeys::lookupTimeout),
    entry(PloverKeys::key, PloverKeys::statusPause),
    entry(PloverKeys::key, PloverKeys::threadWait),
    KnownSetting {KestrelSettings::key, KestrelSettings::modemListName, ValueType::Binary},
    entry(KestrelSettings::key, KestrelSettings::maxSendPacket),
    entry(KestrelSettings::key, KestrelSettings::maxReadTimeout),
    entry(KestrelSettings::key, KestrelSettings::maxPromptTimeoutForSend),
    entry(KestrelSettings::key, KestrelSettings::transCharsForSend),
    entry(KestrelSettings::key, KestrelSettings::goAheadDelay),
    entry(KestrelSettings::key, FrameTimings::callWaitSetting),
    entry(KestrelSettings::key, FrameTimings::updateWaitSetting),
    entry(KestrelSettings::key, FrameTimings::threadWaitSetting),
    entry(KestrelSettings::key, FrameTimings::statusPauseSetting),
    entry(linesKey, Lines::type),
    entry(linesKey, Lines::name),
    entry(linesKey, Lines::voice),
    entry(linesKey, Lines::device),
    entry(linesKey, Lines::speed),
    entry(linesKey, Lines::initString),
    entry(linesKey, Lines::initString2),
    entry(linesKey, Lines::dialPrefix),
    entry(linesKey, Lines::commandTimeout),
    entry(linesKey, Lines::answerTimeout),
    entry(linesKey, Lines::guardTime),
    entry(linesKey, Lines::dtrDropTime),
    entry(linesKey, Lines::host),
    entry(linesKey, Lines::port),
    entry(linesKey, Lines::connectTimeout),
    entry(Lines::locationKey, Lines::localAccessCode),
});
// clang-format on

bool sameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i]))
            != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// Whether the full key name is the table's key (whose last part "*" matches one subkey).
bool keyMatches(std::string_view fullKeyName, std::string_view tableKey)
{
    constexpr std::string_view root = "HKEY_CURRENT_USER\\";
    if (fullKeyName.size() < root.size() || !sameText(fullKeyName.substr(0, root.size()), root)) {
        return false;
    }
    fullKeyName.remove_prefix(root.size());
    if (tableKey.size() >= 2 && tableKey.substr(tableKey.size() - 2) == "\\*") {
        const std::string_view parent = tableKey.substr(0, tableKey.size() - 1);
        return fullKeyName.size() > parent.size()
            && sameText(fullKeyName.substr(0, parent.size()), parent)
            && fullKeyName.find('\\', parent.size()) == std::string_view::npos;
    }
    return sameText(fullKeyName, tableKey);
}

std::string_view typeName(ValueType type)
{
    switch (type) {
    case ValueType::String:
        return "a string";
    case ValueType::Number:
        return "a number";
    case ValueType::Binary:
        return "binary";
    }
    return "?";
}

} // namespace

std::optional<KnownSetting> KnownSettings::find(std::string_view fullKeyName, std::string_view name)
{
    for (const KnownSetting& setting : table) {
        if (sameText(setting.name, name) && keyMatches(fullKeyName, setting.key)) {
            return setting;
        }
    }
    return std::nullopt;
}

std::string KnownSettings::mismatch(const KnownSetting& setting, ValueType type)
{
    if (type == setting.type
        || (setting.alsoOtherType && type != ValueType::Binary
            && setting.type != ValueType::Binary)) {
        return {};
    }
    return std::string(setting.name) + " is read as " + std::string(typeName(setting.type))
        + "; stored as " + std::string(typeName(type)) + " it is ignored and its default holds";
}
