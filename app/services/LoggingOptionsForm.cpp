#include "services/LoggingOptionsForm.h"

#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "stores/StoreSettings.h"

#include <limits>

LoggingOptionsForm LoggingOptionsForm::load()
{
    const SettingsKey messages(RootKey::CurrentUser, StoreSettings::Messages::key);
    const SettingsKey log(RootKey::CurrentUser, SharedSettings::Log::key);
    LoggingOptionsForm form;
    form.maxSavedCount = std::to_string(messages.read(StoreSettings::Messages::maxSavedCount));
    const std::int32_t level = log.read(SharedSettings::Log::logLevel);
    form.logLevel = level >= 0 && level < static_cast<std::int32_t>(levelNames.size()) ? level : -1;
    form.maxLogSize = std::to_string(log.read(SharedSettings::Log::maxLogSize));
    return form;
}

std::int32_t LoggingOptionsForm::fieldValue(std::string_view text, std::int32_t fallback)
{
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
    if (at < text.size() && text[at] == '+') {
        ++at;
    }
    std::int64_t value = 0;
    bool digits = false;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        digits = true;
        value = value * 10 + (text[at] - '0');
        // A number past the range is no number the settings can hold: the default, not a
        // wrapped value.
        if (value > std::numeric_limits<std::int32_t>::max()) {
            return fallback;
        }
    }
    if (!digits || value == 0) {
        return fallback;
    }
    return static_cast<std::int32_t>(value);
}

bool LoggingOptionsForm::apply() const
{
    SettingsKey messages(RootKey::CurrentUser, StoreSettings::Messages::key);
    SettingsKey log(RootKey::CurrentUser, SharedSettings::Log::key);
    bool stored = messages.write(StoreSettings::Messages::maxSavedCount,
                                 fieldValue(maxSavedCount, defaultSavedCount));
    if (logLevel >= 0 && logLevel < static_cast<int>(levelNames.size())) {
        stored = log.write(SharedSettings::Log::logLevel, logLevel) && stored;
    }
    stored = log.write(SharedSettings::Log::maxLogSize, fieldValue(maxLogSize, defaultLogSize))
        && stored;
    return stored;
}
