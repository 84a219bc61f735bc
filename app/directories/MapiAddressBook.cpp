#include "directories/MapiAddressBook.h"

#include "directories/UserPrompt.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "text/StringTable.h"

MapiAddressBook::MapiAddressBook(std::shared_ptr<UserPrompt> prompt)
    : AddressBook(std::move(prompt))
{ }

MapiAddressBook::~MapiAddressBook() = default;

bool MapiAddressBook::locate()
{
    const std::lock_guard lock(m_mutex);
    m_disabled = false;
    m_loadFailed = true;
    LogFile log;
    (void)log.write(LogLevel::Errors, "Local",
                    "The MAPI address book is not available on this system");
    return failWith(StringId::MapiCannotOpen,
                    "Address Book Error: the MAPI address book is not available on this system");
}

bool MapiAddressBook::open()
{
    std::unique_lock lock(m_mutex);
    if (m_disabled) {
        return failWith(StringId::MapiCannotOpen, "Address Book Error: address book is disabled");
    }
    if (!m_loadFailed) {
        // Not loaded yet: the load fails, and the next open shows the message.
        lock.unlock();
        return locate();
    }
    m_disabled = true;
    lock.unlock();
    prompt()->showMessage(loadMessage, "MAPI Address Book Error", PromptIcon::Stop);
    return true;
}

void MapiAddressBook::close() { }

bool MapiAddressBook::isDisabled() const
{
    const std::lock_guard lock(m_mutex);
    return m_disabled;
}

bool MapiAddressBook::unavailable(int stringId)
{
    return failWith(stringId, "Address Book Error: address book is disabled");
}

bool MapiAddressBook::add(std::string_view, std::string_view)
{
    return unavailable(StringId::AddEntryFailed);
}

bool MapiAddressBook::enumerate(AddressBookVisitor&)
{
    return unavailable(StringId::EntryNotFound);
}

bool MapiAddressBook::findLike(std::string_view, std::string&)
{
    return unavailable(StringId::EntryNotFound);
}

bool MapiAddressBook::update(std::string_view, std::string_view)
{
    return unavailable(StringId::UpdateEntryFailed);
}

bool MapiAddressBook::remove(std::string_view)
{
    return unavailable(StringId::DeleteEntryFailed);
}

bool MapiAddressBook::getPagerInfo(std::string_view, std::string&)
{
    return unavailable(StringId::EntryNotFound);
}
