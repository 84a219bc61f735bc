#include "telephony/LineSettings.h"

#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <strings.h>

namespace {

std::string currentUserKey(std::string_view path)
{
    return SettingsStore::normalizeKeyName("HKEY_CURRENT_USER\\" + std::string(path));
}

std::optional<unsigned long> decimalName(const std::string& text)
{
    unsigned long number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return number;
}

// Numbered subkeys in numeric order come first so that keys named 0, 1, 2 ... give exactly
// those device numbers; names that are not numbers still count, after them.
bool deviceOrder(const std::string& left, const std::string& right)
{
    const auto leftNumber = decimalName(left);
    const auto rightNumber = decimalName(right);
    if (leftNumber && rightNumber) {
        return *leftNumber != *rightNumber ? *leftNumber < *rightNumber : left < right;
    }
    if (leftNumber || rightNumber) {
        return leftNumber.has_value();
    }
    return strcasecmp(left.c_str(), right.c_str()) < 0;
}

LineKind kindOf(const std::string& type)
{
    if (strcasecmp(type.c_str(), "modem") == 0) {
        return LineKind::Modem;
    }
    if (strcasecmp(type.c_str(), "tcp") == 0) {
        return LineKind::Tcp;
    }
    return LineKind::Unknown;
}

LineConfig readLine(const SettingsKey& key, const std::string& subKey)
{
    LineConfig config;
    config.key = subKey;
    config.type = key.read(LineSettings::type);
    config.kind = kindOf(config.type);
    config.name = key.read(LineSettings::name);
    config.voice = key.read(LineSettings::voice);
    config.device = key.read(LineSettings::device);
    config.speed = key.read(LineSettings::speed);
    config.initString = key.read(LineSettings::initString);
    config.initString2 = key.read(LineSettings::initString2);
    config.dialPrefix = key.read(LineSettings::dialPrefix);
    config.commandTimeout = key.read(LineSettings::commandTimeout);
    config.answerTimeout = key.read(LineSettings::answerTimeout);
    config.guardTime = key.read(LineSettings::guardTime);
    config.dtrDropTime = key.read(LineSettings::dtrDropTime);
    config.host = key.read(LineSettings::host);
    config.port = key.read(LineSettings::port);
    config.connectTimeout = key.read(LineSettings::connectTimeout);
    return config;
}

} // namespace

std::vector<LineConfig> LineSettings::readLines(const std::shared_ptr<SettingsStore>& store)
{
    std::vector<LineConfig> lines;
    const std::string parent = currentUserKey(linesKey);
    if (!store || !store->keyExists(parent)) {
        return lines;
    }
    std::vector<std::string> names = store->subKeys(parent);
    std::sort(names.begin(), names.end(), deviceOrder);
    for (const std::string& subKey : names) {
        // The subkey exists, so opening it creates nothing.
        const SettingsKey key(store, RootKey::CurrentUser, std::string(linesKey) + "\\" + subKey);
        lines.push_back(readLine(key, subKey));
    }
    return lines;
}

std::string LineSettings::readLocalAccessCode(const std::shared_ptr<SettingsStore>& store)
{
    if (!store || !store->keyExists(currentUserKey(locationKey))) {
        return std::string(localAccessCode.fallback);
    }
    const SettingsKey key(store, RootKey::CurrentUser, locationKey);
    return key.read(localAccessCode);
}
