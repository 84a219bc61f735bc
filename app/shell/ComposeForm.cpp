#include "shell/ComposeForm.h"

#include "addressing/RecipientListForm.h"
#include "stores/MessageHistory.h"
#include "stores/SavedMessageStore.h"

namespace {

// The text cut to `keep` characters and "..." when it is longer than `limit`.
std::string cut(std::string_view text, std::size_t limit, std::size_t keep)
{
    if (text.size() <= limit)
        return std::string(text);
    return std::string(text.substr(0, keep)) + "...";
}

} // namespace

ComposeForm::ComposeForm(MessageHistory& history, SavedMessageStore& saved,
                         RecipientListForm& recipients)
    : m_history(history)
    , m_saved(saved)
    , m_recipients(recipients)
{ }

void ComposeForm::newMessage()
{
    m_recipients.clear();
    m_recipients.setMessage({});
    m_position = -1;
}

void ComposeForm::clearMessage()
{
    m_recipients.setMessage({});
    m_position = -1;
}

bool ComposeForm::loadHistory(int position)
{
    std::string entry;
    std::string recipients;
    std::string message;
    if (!m_history.getAt(position, entry)
        || !MessageHistory::splitEntry(entry, recipients, message))
        return false;
    // The recipients hold no "=", so the joined text splits back the same way.
    m_recipients.load(recipients + '=' + message);
    return true;
}

std::optional<ComposeForm::Notice> ComposeForm::previousMessage()
{
    if (loadHistory(m_position + 1)) {
        ++m_position;
        return std::nullopt;
    }
    return Notice {m_position >= 0 ? "No more saved messages" : "No saved messages",
                   std::string(programCaption)};
}

void ComposeForm::nextMessage()
{
    if (m_position < 1) {
        newMessage();
        return;
    }
    if (loadHistory(m_position - 1))
        --m_position;
}

std::string ComposeForm::historyLabel(std::string_view recipients, std::string_view message)
{
    while (!recipients.empty() && recipients.back() == ';')
        recipients.remove_suffix(1);
    return cut(recipients, 25, 22) + ",   " + cut(message, 30, 27);
}

std::optional<ComposeForm::Notice> ComposeForm::messagesMenu(std::vector<MenuItem>& items) const
{
    items.clear();
    std::string entry;
    SavedMessage record;
    if (!m_history.getAt(0, entry) && !m_saved.getAt(0, record))
        return Notice {"You don't not have any saved messages.", "No Saved Messages"};
    for (int k = 0; k < menuLimit && m_history.getAt(k, entry); ++k) {
        while (!entry.empty() && (entry.back() == '\n' || entry.back() == '\r'))
            entry.pop_back();
        std::string recipients;
        std::string message;
        if (entry.size() < 2 || !MessageHistory::splitEntry(entry, recipients, message))
            continue;
        items.push_back({historyCommand + k, historyLabel(recipients, message)});
    }
    items.push_back({0, {}});
    for (int k = 0; k < menuLimit && m_saved.getAt(k, record); ++k)
        items.push_back({savedCommand + k, record.name});
    return std::nullopt;
}

bool ComposeForm::choose(int command)
{
    if (command >= historyCommand && command < historyCommand + menuLimit) {
        const int position = command - historyCommand;
        if (!loadHistory(position))
            return false;
        m_position = position;
        return true;
    }
    if (command >= savedCommand && command < savedCommand + menuLimit) {
        SavedMessage record;
        if (!m_saved.getAt(command - savedCommand, record))
            return false;
        m_recipients.load(record.recipients + '=' + record.message);
        m_position = 0;
        return true;
    }
    return false;
}

std::optional<ComposeForm::Notice> ComposeForm::saveRefusal() const
{
    if (!m_recipients.items().empty())
        return std::nullopt;
    return Notice {"Recipient list empty\rPlease add recipients and save the message again",
                   std::string(programCaption)};
}
