#include "addressing/RecipientListForm.h"

#include "addressing/AddressChecker.h"
#include "addressing/GeneralSettings.h"
#include "directories/AddressBook.h"
#include "settings/SettingsKey.h"

#include <algorithm>
#include <cctype>

namespace {

std::string_view withoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool sameEntry(std::string_view a, std::string_view b)
{
    a = withoutTrailingBlanks(a);
    b = withoutTrailingBlanks(b);
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x))
            == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string entryText(std::string_view text)
{
    return std::string(withoutTrailingBlanks(text).substr(0, RecipientListForm::maxEntryLength));
}

} // namespace

RecipientListForm::RecipientListForm(ProviderDatabase* providers, AddressBook* book,
                                     UserPrompt* prompt)
    : m_providers(providers)
    , m_book(book)
    , m_prompt(prompt)
{ }

RecipientListForm::Flags RecipientListForm::readFlags()
{
    const SettingsKey key(RootKey::CurrentUser, GeneralSettings::key);
    Flags flags;
    flags.disableCheck = key.read(GeneralSettings::disableAddrCheck);
    flags.disableWarning = key.read(GeneralSettings::disableAddrWarning);
    flags.disableCompletion = key.read(GeneralSettings::disableAddrCompletion);
    return flags;
}

std::optional<int> RecipientListForm::check(std::string_view text) const
{
    if (m_flags.disableCheck)
        return 0;
    AddressChecker checker(m_providers, m_book, m_prompt);
    AddressCheck kind = AddressCheck::CheckNone;
    if (!checker.checkAddress(m_flags.disableWarning, text, kind))
        return std::nullopt;
    return static_cast<int>(kind);
}

int RecipientListForm::add(std::string_view text, bool skipChecks)
{
    const std::string entry = entryText(text);
    int picture = 0;
    if (!skipChecks) {
        if (contains(entry))
            return -1;
        const std::optional<int> checked = check(entry);
        if (!checked)
            return -1;
        picture = *checked;
    }
    m_items.push_back({entry, picture});
    return static_cast<int>(m_items.size());
}

bool RecipientListForm::contains(std::string_view text, std::optional<std::size_t> except) const
{
    for (std::size_t row = 0; row < m_items.size(); ++row) {
        if (row != except && sameEntry(m_items[row].text, text))
            return true;
    }
    return false;
}

std::size_t RecipientListForm::insertNew()
{
    m_items.push_back({std::string(), typingPicture});
    m_newRow = m_items.size() - 1;
    return *m_newRow;
}

bool RecipientListForm::endEdit(std::size_t row, std::string_view text)
{
    if (row >= m_items.size())
        return false;
    const bool isNew = m_newRow == row;
    m_newRow.reset();
    const std::string entry = entryText(text);
    std::optional<int> picture;
    // The item itself counts: an unchanged label is left as it was.
    if (!entry.empty() && !contains(entry))
        picture = check(entry);
    if (!picture) {
        if (isNew)
            m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(row));
        return false;
    }
    m_items[row] = {entry, *picture};
    return true;
}

std::optional<std::string> RecipientListForm::complete(std::string_view typed) const
{
    if (m_flags.disableCompletion || !m_book || typed.empty())
        return std::nullopt;
    std::string name;
    if (!m_book->findLike(typed.substr(0, maxEntryLength), name) || name.empty())
        return std::nullopt;
    return name;
}

void RecipientListForm::remove(std::vector<std::size_t> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the last to the first, so that the positions still to go stay valid.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it < m_items.size())
            m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(*it));
    }
    m_newRow.reset();
}

void RecipientListForm::load(std::string_view stored)
{
    clear();
    const std::size_t equals = stored.find('=');
    std::string_view recipients = stored.substr(0, equals);
    m_message
        = equals == std::string_view::npos ? std::string() : std::string(stored.substr(equals + 1));
    while (!recipients.empty()) {
        const std::size_t semicolon = recipients.find(';');
        const std::string_view part = recipients.substr(0, semicolon);
        if (!part.empty())
            m_items.push_back({std::string(part.substr(0, maxEntryLength)), 0});
        if (semicolon == std::string_view::npos)
            break;
        recipients.remove_prefix(semicolon + 1);
    }
}

std::string RecipientListForm::recipientsText() const
{
    std::string text;
    for (const Item& item : m_items)
        text += item.text + ';';
    return text.substr(0, maxSendText);
}

std::string RecipientListForm::messageText() const
{
    return m_message.substr(0, maxSendText);
}
