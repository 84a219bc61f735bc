#include "directories/AddressBookSelection.h"

#include "directories/DirectorySettings.h"
#include "directories/InternetAddressBook.h"
#include "directories/MapiAddressBook.h"
#include "directories/SimpleAddressBook.h"
#include "settings/SettingsKey.h"

AddressBookSelection::AddressBookSelection(std::shared_ptr<UserPrompt> prompt)
    : m_simple(std::make_unique<SimpleAddressBook>(prompt))
    , m_mapi(std::make_unique<MapiAddressBook>(prompt))
    , m_internet(std::make_unique<InternetAddressBook>(prompt))
{ }

AddressBookSelection::~AddressBookSelection() = default;

AddressBook* AddressBookSelection::selectFromSettings()
{
    const SettingsKey adb(RootKey::CurrentUser, DirectorySettings::Adb::key);
    (void)select(adb.read(DirectorySettings::Adb::adbType));
    return current();
}

bool AddressBookSelection::select(std::int32_t adbType)
{
    AddressBook* book = nullptr;
    switch (adbType) {
    case static_cast<std::int32_t>(AddressBookType::Simple):
        book = m_simple.get();
        break;
    case static_cast<std::int32_t>(AddressBookType::Mapi):
        book = m_mapi.get();
        break;
    case static_cast<std::int32_t>(AddressBookType::Internet):
        book = m_internet.get();
        break;
    default:
        return false;
    }
    m_current.store(book);
    // A failed locate leaves its mark on the book (unavailable, load failed), which its open
    // then acts on; the selection itself holds.
    (void)book->locate();
    return true;
}

void AddressBookSelection::setPrompt(const std::shared_ptr<UserPrompt>& prompt)
{
    m_simple->setPrompt(prompt);
    m_mapi->setPrompt(prompt);
    m_internet->setPrompt(prompt);
}
