#include "shell/GreetingChoice.h"

#include "addressing/GeneralSettings.h"
#include "settings/SettingsKey.h"

bool GreetingChoice::shouldOffer()
{
    const SettingsKey key(RootKey::CurrentUser, GeneralSettings::key);
    return !key.read(GeneralSettings::dontShowGreeting);
}

bool GreetingChoice::remember(bool dontShowAgain)
{
    if (!dontShowAgain) {
        return true;
    }
    SettingsKey key(RootKey::CurrentUser, GeneralSettings::key);
    return key.write(GeneralSettings::dontShowGreeting, true);
}
