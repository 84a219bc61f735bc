#pragma once

#include "directories/AddressBookSelection.h"
#include "directories/ProviderDatabase.h"

#include <iosfwd>
#include <memory>

class AddressBook;
class HeadlessPrompt;

// The provider database and the address books of a norvane-cli command, with the headless
// prompt that stands in for the desktop program's dialogs. Opening them never stops a
// command: numbers still go without a provider database, pager addresses without a book.
class CliDirectories
{
public:
    // Directories whose problems are said on `err` (stderr), one line each.
    explicit CliDirectories(std::ostream& err);
    ~CliDirectories();
    CliDirectories(const CliDirectories&) = delete;
    CliDirectories& operator=(const CliDirectories&) = delete;

    // Opens the provider database, selects the address book the settings name and, with
    // `openBook`, opens it; each failure is said on the error stream. The current book, or null.
    AddressBook* open(bool openBook);

    // The prompt the database and the books ask through.
    HeadlessPrompt& prompt() { return *m_prompt; }
    // The provider database.
    ProviderDatabase& providers() { return m_providers; }
    // The address books, with the current one selected by open().
    AddressBookSelection& books() { return m_books; }

private:
    void say(const std::string& text);

    std::ostream& m_err;
    std::shared_ptr<HeadlessPrompt> m_prompt;
    ProviderDatabase m_providers;
    AddressBookSelection m_books;
};
