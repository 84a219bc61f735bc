#include "directories/InternetAddressBook.h"

#include "directories/AddressBookVisitor.h"
#include "directories/DirectorySettings.h"
#include "directories/UserPrompt.h"
#include "directories/VCardFolder.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "settings/DataPaths.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "text/StringTable.h"
#include "text/TextLimits.h"

#include <filesystem>
#include <unistd.h>

namespace {

// Modelled on the system book's load message; names the folder and why it failed.
constexpr std::string_view loadMessage
    = "Unable to use the address book folder\r%s\r(%s).\rPlease check the folder or switch to "
      "use the\rbuilt-in Simple Address Book.\rAddress Book functionality will be "
      "disabled\runtil another address book is selected";

std::string resolveFolder()
{
    const SettingsKey adb(RootKey::CurrentUser, DirectorySettings::Adb::key);
    std::string folder = adb.read(DirectorySettings::Adb::internetAdb);
    if (!folder.empty()) {
        return folder;
    }
    // The same "home" rule as the data files, with a folder instead of a file.
    const std::string home = DataPaths::home();
    if (!home.empty()) {
        return DataPaths::inHome(home, DirectorySettings::internetBookFolderName);
    }
    return std::string(DirectorySettings::internetBookFolderName);
}

} // namespace

InternetAddressBook::InternetAddressBook(std::shared_ptr<UserPrompt> prompt)
    : AddressBook(std::move(prompt))
{ }

InternetAddressBook::~InternetAddressBook() = default;

bool InternetAddressBook::locate()
{
    const std::lock_guard lock(m_mutex);
    if (m_folder) {
        return true;
    }
    m_disabled = false;
    const std::string folder = resolveFolder();
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (!failure && !std::filesystem::is_directory(folder, failure)) {
        failure = std::make_error_code(std::errc::not_a_directory);
    }
    if (!failure && ::access(folder.c_str(), R_OK | X_OK) != 0) {
        failure = std::error_code(errno, std::generic_category());
    }
    if (failure) {
        m_loadFailed = true;
        m_loadError = StringTable::substitute(loadMessage, {folder, failure.message()});
        LogFile log;
        (void)log.write(LogLevel::Errors, "Local", "Cannot use the address book folder %s: %s",
                        folder.c_str(), failure.message().c_str());
        return failWith(StringId::MapiCannotOpen,
                        "Address Book Error: cannot use the folder " + folder + ": "
                            + failure.message());
    }
    m_loadFailed = false;
    m_writable = ::access(folder.c_str(), W_OK) == 0;
    m_folder = std::make_unique<VCardFolder>(folder);
    SettingsKey adb(RootKey::CurrentUser, DirectorySettings::Adb::key);
    (void)adb.write(DirectorySettings::Adb::internetAdb, folder);
    return true;
}

bool InternetAddressBook::setFolder(const std::string& folder)
{
    const std::lock_guard lock(m_mutex);
    m_folder.reset();
    m_open = false;
    m_disabled = false;
    m_loadFailed = false;
    m_loadError.clear();
    SettingsKey adb(RootKey::CurrentUser, DirectorySettings::Adb::key);
    return adb.write(DirectorySettings::Adb::internetAdb, folder);
}

std::string InternetAddressBook::configuredFolder()
{
    return resolveFolder();
}

bool InternetAddressBook::open()
{
    std::unique_lock lock(m_mutex);
    if (m_disabled) {
        return failWith(StringId::MapiCannotOpen, "Address Book Error: address book is disabled");
    }
    if (m_loadFailed) {
        m_disabled = true;
        const std::string message = m_loadError;
        // Shown outside the lock: a dialog may take its time, and other threads go on failing.
        lock.unlock();
        prompt()->showMessage(message, "MAPI Address Book Error", PromptIcon::Stop);
        return true;
    }
    if (m_open) {
        return true;
    }
    lock.unlock();
    if (!locate()) {
        return false;
    }
    lock.lock();
    m_open = true;
    return true;
}

void InternetAddressBook::close()
{
    // The folder stays in use until the book goes, as the system book kept its objects.
}

bool InternetAddressBook::isDisabled() const
{
    const std::lock_guard lock(m_mutex);
    return m_disabled || (m_open && !m_writable);
}

bool InternetAddressBook::isOpen() const
{
    const std::lock_guard lock(m_mutex);
    return m_open && !m_disabled;
}

bool InternetAddressBook::isWritable() const
{
    const std::lock_guard lock(m_mutex);
    return m_writable && !m_disabled;
}

std::string InternetAddressBook::location() const
{
    const std::lock_guard lock(m_mutex);
    return m_folder ? m_folder->path() : std::string();
}

bool InternetAddressBook::usable(int stringId)
{
    if (m_disabled) {
        return failWith(stringId, "Address Book Error: address book is disabled");
    }
    if (!m_open || !m_folder) {
        return failWith(stringId, "Address Book Error: address book is not open");
    }
    return true;
}

bool InternetAddressBook::failFolder(int stringId, const std::string& error)
{
    LogFile log;
    (void)log.write(LogLevel::Errors, "Local", "Address book: %s", error.c_str());
    return failWith(stringId, "Address Book Error: " + error);
}

bool InternetAddressBook::findEntry(std::string_view name, std::string& fileName,
                                    std::string& pagerInfo, int stringId)
{
    std::vector<VCardEntry> entries;
    std::string error;
    if (!m_folder->entries(entries, searchLimit, error)) {
        return failFolder(stringId, error);
    }
    for (const VCardEntry& entry : entries) {
        if (TextLimits::equalsNoCase(entry.name, name)) {
            fileName = entry.fileName;
            pagerInfo = entry.pagerInfo;
            return true;
        }
    }
    return failWith(StringId::EntryNotFound);
}

bool InternetAddressBook::add(std::string_view name, std::string_view pagerInfo)
{
    const std::lock_guard lock(m_mutex);
    if (!usable(StringId::AddEntryFailed)) {
        return false;
    }
    if (!m_writable) {
        return failWith(StringId::AddEntryFailed, "Address Book Error: address book is read-only");
    }
    if (const std::string problem = nameProblem(name, maxNameLength); !problem.empty()) {
        return failWith(StringId::AddEntryFailed, "Address Book Error: " + problem);
    }
    if (TextLimits::characterCount(pagerInfo) > maxPagerInfoLength) {
        return failWith(StringId::AddEntryFailed,
                        "Address Book Error: the pager information is longer than "
                            + std::to_string(maxPagerInfoLength) + " characters");
    }
    std::vector<VCardEntry> entries;
    std::string error;
    if (!m_folder->entries(entries, 0, error)) {
        return failFolder(StringId::AddEntryFailed, error);
    }
    for (const VCardEntry& entry : entries) {
        if (TextLimits::equalsNoCase(entry.name, name)) {
            return failWith(StringId::AddEntryFailed,
                            "Address Book Error: entry \"" + std::string(name)
                                + "\" exists already");
        }
    }
    std::string fileName;
    if (!m_folder->addCard(name, pagerInfo, fileName, error)) {
        return failFolder(StringId::AddEntryFailed, error);
    }
    return true;
}

bool InternetAddressBook::enumerate(AddressBookVisitor& visitor)
{
    std::vector<VCardEntry> entries;
    {
        const std::lock_guard lock(m_mutex);
        if (!usable(StringId::EntryNotFound)) {
            return false;
        }
        std::string error;
        if (!m_folder->entries(entries, searchLimit, error)) {
            return failFolder(StringId::EntryNotFound, error);
        }
    }
    for (const VCardEntry& entry : entries) {
        visitor.addName(entry.name);
        (void)visitor.setPagerInfo(entry.pagerInfo);
    }
    return true;
}

bool InternetAddressBook::findLike(std::string_view prefix, std::string& name)
{
    const std::lock_guard lock(m_mutex);
    if (!usable(StringId::EntryNotFound)) {
        return false;
    }
    std::vector<VCardEntry> entries;
    std::string error;
    if (!m_folder->entries(entries, searchLimit, error)) {
        return failFolder(StringId::EntryNotFound, error);
    }
    for (const VCardEntry& entry : entries) {
        if (TextLimits::startsWithNoCase(entry.name, prefix)) {
            name = entry.name;
            return true;
        }
    }
    return failWith(StringId::EntryNotFound);
}

bool InternetAddressBook::update(std::string_view name, std::string_view pagerInfo)
{
    const std::lock_guard lock(m_mutex);
    if (!usable(StringId::UpdateEntryFailed)) {
        return false;
    }
    if (!m_writable) {
        return failWith(StringId::UpdateEntryFailed,
                        "Address Book Error: address book is read-only");
    }
    if (TextLimits::characterCount(pagerInfo) > maxPagerInfoLength) {
        return failWith(StringId::UpdateEntryFailed,
                        "Address Book Error: the pager information is longer than "
                            + std::to_string(maxPagerInfoLength) + " characters");
    }
    std::string fileName, current, error;
    if (!findEntry(name, fileName, current, StringId::UpdateEntryFailed)) {
        return false;
    }
    const auto change = [pagerInfo](VCard& card) {
        card.setPagerInfo(pagerInfo);
        return true;
    };
    return m_folder->changeCard(fileName, name, change, error)
        || failFolder(StringId::UpdateEntryFailed, error);
}

bool InternetAddressBook::remove(std::string_view name)
{
    const std::lock_guard lock(m_mutex);
    if (!usable(StringId::DeleteEntryFailed)) {
        return false;
    }
    if (!m_writable) {
        return failWith(StringId::DeleteEntryFailed,
                        "Address Book Error: address book is read-only");
    }
    std::string fileName, current, error;
    if (!findEntry(name, fileName, current, StringId::DeleteEntryFailed)) {
        return false;
    }
    return m_folder->changeCard(
               fileName, name, [](VCard&) { return false; }, error)
        || failFolder(StringId::DeleteEntryFailed, error);
}

bool InternetAddressBook::getPagerInfo(std::string_view name, std::string& pagerInfo)
{
    const std::lock_guard lock(m_mutex);
    if (!usable(StringId::EntryNotFound)) {
        return false;
    }
    std::string fileName, value;
    if (!findEntry(name, fileName, value, StringId::EntryNotFound)) {
        return false;
    }
    if (value.empty()) {
        return failWith(StringId::EmptyPagerNumber);
    }
    pagerInfo = value;
    return true;
}
