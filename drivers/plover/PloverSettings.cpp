#include "plover/PloverSettings.h"

#include "net/ServicePort.h"
#include "settings/SettingsKey.h"

namespace {

std::int32_t waitingTime(const SettingsKey& key, const NumberSetting& setting)
{
    // A negative time would mean "wait for ever" to the socket layer; the send must stay bounded.
    const std::int32_t value = key.read(setting);
    return value < 0 ? setting.fallback : value;
}

// The wait for each reply: 0 or less would fail every reply at once, so it counts as unset.
std::int32_t replyTime(const SettingsKey& key)
{
    const std::int32_t value = key.read(PloverKeys::replyTimeout);
    return value <= 0 ? PloverKeys::replyTimeout.fallback : value;
}

} // namespace

PloverSettings PloverSettings::load()
{
    const SettingsKey key(RootKey::CurrentUser, PloverKeys::key);
    PloverSettings settings;
    settings.port = key.read(PloverKeys::port);
    settings.disconOnClose = key.read(PloverKeys::disconOnClose);
    settings.replyTimeoutMs = replyTime(key);
    settings.lookupTimeoutMs = waitingTime(key, PloverKeys::lookupTimeout);
    settings.statusPauseMs = waitingTime(key, PloverKeys::statusPause);
    return settings;
}

bool PloverSettings::saveDialogValues() const
{
    SettingsKey key(RootKey::CurrentUser, PloverKeys::key);
    const bool portStored = key.write(PloverKeys::port, port);
    const bool flagStored = key.write(PloverKeys::disconOnClose, disconOnClose);
    return portStored && flagStored;
}

std::int32_t PloverSettings::portFromText(std::string_view text)
{
    const long number = ServicePort::readNumber(text);
    if (number < 1 || number > 65535) {
        return PloverKeys::port.fallback;
    }
    return static_cast<std::int32_t>(number);
}
