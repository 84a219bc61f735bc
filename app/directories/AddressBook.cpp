#include "directories/AddressBook.h"

#include "directories/HeadlessPrompt.h"
#include "text/StringTable.h"
#include "text/TextLimits.h"

namespace {

// The last error text is held in a 128-byte buffer by its readers.
constexpr std::size_t maxErrorBytes = 127;

} // namespace

AddressBook::AddressBook(std::shared_ptr<UserPrompt> prompt)
    : m_prompt(prompt ? std::move(prompt) : std::make_shared<HeadlessPrompt>())
{ }

AddressBook::~AddressBook() = default;

void AddressBook::setPrompt(std::shared_ptr<UserPrompt> prompt)
{
    const std::lock_guard lock(m_promptMutex);
    m_prompt = prompt ? std::move(prompt) : std::make_shared<HeadlessPrompt>();
}

std::shared_ptr<UserPrompt> AddressBook::prompt() const
{
    const std::lock_guard lock(m_promptMutex);
    return m_prompt;
}

std::string AddressBook::nameProblem(std::string_view name, std::size_t maxLength)
{
    if (name.empty()) {
        return "the entry name is empty";
    }
    if (TextLimits::characterCount(name) > maxLength) {
        return "the entry name \"" + std::string(name) + "\" is longer than "
            + std::to_string(maxLength) + " characters";
    }
    // A recipient list splits at ";" and the message history at the first "=", so such a
    // name could be stored but never sent to or recalled.
    if (name.find_first_of(";=") != std::string_view::npos) {
        return "the entry name \"" + std::string(name) + "\" holds \";\" or \"=\"";
    }
    return {};
}

bool AddressBook::failWith(int stringId)
{
    return failWith(stringId, StringTable::text(stringId));
}

bool AddressBook::failWith(int stringId, std::string_view text)
{
    return Error::set(StringTable::errorCode(stringId),
                      TextLimits::cutToBytes(text, maxErrorBytes));
}
