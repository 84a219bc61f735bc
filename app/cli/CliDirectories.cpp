#include "cli/CliDirectories.h"

#include "cli/CliCommand.h"
#include "directories/AddressBook.h"
#include "directories/HeadlessPrompt.h"

#include <ostream>
#include <string>

CliDirectories::CliDirectories(std::ostream& err)
    : m_err(err)
    , m_prompt(std::make_shared<HeadlessPrompt>(&err, std::string(programName) + ": "))
    , m_providers(m_prompt)
    , m_books(m_prompt)
{ }

CliDirectories::~CliDirectories() = default;

AddressBook* CliDirectories::open(bool openBook)
{
    if (!m_providers.open()) {
        // Numbers still go and check; names of providers will not translate.
        say(m_providers.lastErrorText());
    }
    AddressBook* book = m_books.selectFromSettings();
    if (openBook && book != nullptr && !book->open()) {
        say(book->lastErrorText());
    }
    return book;
}

void CliDirectories::say(const std::string& text)
{
    // One write, so that log lines echoed on the same stream do not cut into it.
    m_err << (std::string(programName) + ": " + text + "\n") << std::flush;
}
