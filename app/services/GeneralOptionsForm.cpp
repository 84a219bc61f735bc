#include "services/GeneralOptionsForm.h"

#include "addressing/GeneralSettings.h"
#include "settings/SettingsKey.h"

GeneralOptionsForm GeneralOptionsForm::load()
{
    const SettingsKey general(RootKey::CurrentUser, GeneralSettings::key);
    GeneralOptionsForm form;
    form.disableAddrWarning = general.read(GeneralSettings::disableAddrWarning);
    form.disableAddrCompletion = general.read(GeneralSettings::disableAddrCompletion);
    form.disableAddrCheck = general.read(GeneralSettings::disableAddrCheck);
    return form;
}

bool GeneralOptionsForm::apply() const
{
    SettingsKey general(RootKey::CurrentUser, GeneralSettings::key);
    // Each write is tried even after one failed, so that a store that refuses one value
    // still takes the others.
    bool stored = general.write(GeneralSettings::disableAddrWarning, disableAddrWarning);
    stored = general.write(GeneralSettings::disableAddrCompletion, disableAddrCompletion) && stored;
    stored = general.write(GeneralSettings::disableAddrCheck, disableAddrCheck) && stored;
    return stored;
}
