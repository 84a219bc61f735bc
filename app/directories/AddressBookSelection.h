#pragma once

#include "directories/AddressBook.h"

#include <atomic>
#include <memory>

class InternetAddressBook;
class MapiAddressBook;
class SimpleAddressBook;

// The program's three address books, which live for the whole run, and the pointer to the
// current one, chosen by the setting `adbType`.
class AddressBookSelection
{
public:
    // The three books, none current; their questions and messages go to `prompt`.
    explicit AddressBookSelection(std::shared_ptr<UserPrompt> prompt = nullptr);
    ~AddressBookSelection();
    AddressBookSelection(const AddressBookSelection&) = delete;
    AddressBookSelection& operator=(const AddressBookSelection&) = delete;

    // Reads `adbType` and selects that book (see select); other values change nothing.
    // Gives the current book afterwards (nullptr when none was ever selected).
    AddressBook* selectFromSettings();
    // Makes the book of the type (0 simple, 1 MAPI, 2 Internet) current and runs its locate;
    // false, changing nothing, for any other value.
    [[nodiscard]] bool select(std::int32_t adbType);
    // The current book, or nullptr when none is selected.
    AddressBook* current() const { return m_current.load(); }
    // Gives every book the prompt (the GUI sets its dialogs here).
    void setPrompt(const std::shared_ptr<UserPrompt>& prompt);

    // The simple address book.
    SimpleAddressBook& simple() { return *m_simple; }
    // The MAPI address book.
    MapiAddressBook& mapi() { return *m_mapi; }
    // The Internet (vCard folder) address book.
    InternetAddressBook& internet() { return *m_internet; }

private:
    std::unique_ptr<SimpleAddressBook> m_simple;
    std::unique_ptr<MapiAddressBook> m_mapi;
    std::unique_ptr<InternetAddressBook> m_internet;
    std::atomic<AddressBook*> m_current {nullptr};
};
