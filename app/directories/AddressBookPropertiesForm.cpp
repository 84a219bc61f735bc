#include "directories/AddressBookPropertiesForm.h"

#include "directories/AddressBookSelection.h"
#include "directories/DirectorySettings.h"
#include "directories/InternetAddressBook.h"
#include "directories/SimpleAddressBook.h"
#include "settings/DataPaths.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "text/TextLimits.h"

AddressBookPropertiesForm::SimplePath
AddressBookPropertiesForm::simplePath(AddressBookSelection& books)
{
    std::string path = books.simple().location();
    if (path.empty()) {
        path = DataPaths::resolve(SharedSettings::Paths::simpleAdb,
                                  DirectorySettings::simpleBookFileName);
    }
    if (!path.empty() && path.front() == '=') {
        return {path.substr(1), true};
    }
    return {path, false};
}

std::string AddressBookPropertiesForm::storedSimplePath(std::string_view field, bool dataSource)
{
    return dataSource ? "=" + std::string(field) : std::string(field);
}

bool AddressBookPropertiesForm::applySimple(AddressBookSelection& books, const std::string& path,
                                            std::string& error)
{
    if (path.empty() || path == "=") {
        error = "the address book path is empty";
        return false;
    }
    if (AddressBook* current = books.current()) {
        current->close();
    }
    books.simple().close();
    if (!books.simple().setPath(path)) {
        error = "cannot store the address book path " + path + " in the settings";
        return false;
    }
    reopen(books);
    return true;
}

std::string AddressBookPropertiesForm::internetFolder(AddressBookSelection& books)
{
    const std::string folder = books.internet().location();
    return folder.empty() ? InternetAddressBook::configuredFolder() : folder;
}

bool AddressBookPropertiesForm::applyInternet(AddressBookSelection& books,
                                              const std::string& folder, std::string& error)
{
    if (folder.empty()) {
        error = "the address book folder is empty";
        return false;
    }
    if (AddressBook* current = books.current()) {
        current->close();
    }
    if (!books.internet().setFolder(folder)) {
        error = "cannot store the address book folder " + folder + " in the settings";
        return false;
    }
    reopen(books);
    return true;
}

AddressBookPropertiesForm::MapiSettings AddressBookPropertiesForm::mapiSettings()
{
    const SettingsKey adb(RootKey::CurrentUser, DirectorySettings::Adb::key);
    return {adb.read(DirectorySettings::Adb::promptLogin),
            adb.read(DirectorySettings::Adb::profileName)};
}

std::vector<std::string> AddressBookPropertiesForm::profiles()
{
    return {std::string(defaultProfile)};
}

int AddressBookPropertiesForm::profileIndex(const std::vector<std::string>& profiles,
                                            std::string_view name)
{
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        if (TextLimits::equalsNoCase(profiles[i], name)) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

bool AddressBookPropertiesForm::applyMapi(AddressBookSelection& books, const MapiSettings& settings,
                                          std::string& error)
{
    SettingsKey adb(RootKey::CurrentUser, DirectorySettings::Adb::key);
    if (!adb.write(DirectorySettings::Adb::promptLogin, settings.promptLogin)
        || !adb.write(DirectorySettings::Adb::profileName, settings.profileName)) {
        error = "cannot store the MAPI address book settings";
        return false;
    }
    if (AddressBook* current = books.current()) {
        current->close();
    }
    reopen(books);
    return true;
}

void AddressBookPropertiesForm::reopen(AddressBookSelection& books)
{
    // A book that cannot open says so through its prompt; the dialog has done its part.
    if (AddressBook* book = books.selectFromSettings()) {
        (void)book->open();
    }
}
