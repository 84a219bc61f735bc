#include "services/AddressBookOptionsForm.h"

#include "directories/DirectorySettings.h"
#include "services/DeskServices.h"
#include "settings/SettingsKey.h"

AddressBookOptionsForm AddressBookOptionsForm::load()
{
    const SettingsKey adb(RootKey::CurrentUser, DirectorySettings::Adb::key);
    const std::int32_t stored = adb.read(DirectorySettings::Adb::adbType);
    AddressBookOptionsForm form;
    form.m_type = stored >= 0 && stored <= 2 ? static_cast<int>(stored) : noType;
    return form;
}

void AddressBookOptionsForm::choose(int type)
{
    m_type = type >= 0 && type <= 2 ? type : noType;
    m_pending = true;
}

bool AddressBookOptionsForm::apply(DeskServices& services)
{
    m_lastErrorText.clear();
    const int type = m_type == noType ? 0 : m_type;
    SettingsKey adb(RootKey::CurrentUser, DirectorySettings::Adb::key);
    if (!adb.write(DirectorySettings::Adb::adbType, type)) {
        m_lastErrorText = "Cannot store the address book type in " + adb.name() + ".";
        return false;
    }
    m_type = type;
    m_pending = false;
    // The same book applied again stays open as it is; another one is selected and opened
    // for every user of the current book from the next lookup on.
    const AddressBook* current = services.books().current();
    if (current != nullptr && static_cast<int>(current->type()) == type && current->isOpen()) {
        return true;
    }
    if (!services.selectAddressBook()) {
        m_lastErrorText = services.lastErrorText();
        return false;
    }
    return true;
}
