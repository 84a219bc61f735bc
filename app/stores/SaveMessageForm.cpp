#include "stores/SaveMessageForm.h"

#include "stores/SavedMessageLine.h"
#include "stores/SavedMessageStore.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {

std::string lowered(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::string characters(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " character" : " characters");
}

} // namespace

SaveMessageForm::SaveMessageForm(SavedMessageStore& store, std::string recipients,
                                 std::string message, std::string schedule)
    : m_store(store)
    , m_recipients(std::move(recipients))
    , m_message(std::move(message))
    , m_schedule(std::move(schedule))
{ }

std::vector<std::string> SaveMessageForm::names() const
{
    std::vector<std::string> names;
    std::vector<SavedMessage> records;
    if (m_store.list(records, std::numeric_limits<int>::max())) {
        for (SavedMessage& record : records) {
            names.push_back(std::move(record.name));
        }
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lowered(a) < lowered(b);
    });
    return names;
}

std::string SaveMessageForm::limitProblem(std::string_view name) const
{
    // A record line holds the name, the schedule, the recipients and the message with a
    // delimiter after each of the first three; what the name and schedule leave is shared.
    const std::size_t schedule
        = m_schedule.empty() ? SavedMessageStore::unscheduled.size() : m_schedule.size();
    const std::size_t fixed = name.size() + schedule + 3;
    const std::size_t room
        = SavedMessageLine::maxLineLength > fixed ? SavedMessageLine::maxLineLength - fixed : 0;
    if (m_recipients.size() + m_message.size() <= room) {
        return {};
    }
    const std::string hint = " Shorten it (or choose a shorter name) and save again.";
    if (m_recipients.size() > room) {
        return "The recipient list is too long to save: it has " + characters(m_recipients.size())
            + ", " + characters(m_recipients.size() - room) + " more than a saved message named \""
            + std::string(name) + "\" can hold (" + std::to_string(room) + ")." + hint;
    }
    const std::size_t left = room - m_recipients.size();
    return "The message is too long to save: it has " + characters(m_message.size()) + ", "
        + characters(m_message.size() - left) + " more than fit beside this recipient list ("
        + std::to_string(left) + ")." + hint;
}

SaveMessageForm::Step SaveMessageForm::refuse(std::string text)
{
    m_errorText = std::move(text);
    return Step::Refused;
}

SaveMessageForm::Step SaveMessageForm::submit(std::string_view name)
{
    m_errorText.clear();
    if (name.empty()) {
        return Step::StayOpen;
    }
    if (std::string problem = limitProblem(name); !problem.empty()) {
        return refuse(std::move(problem));
    }
    if (m_store.find(name) >= 0) {
        return Step::AskReplace;
    }
    if (!m_store.add(name, m_schedule, m_recipients, m_message)) {
        return refuse("The message was not saved: " + SavedMessageStore::lastErrorText());
    }
    return Step::Saved;
}

SaveMessageForm::Step SaveMessageForm::replace(std::string_view name)
{
    m_errorText.clear();
    if (std::string problem = limitProblem(name); !problem.empty()) {
        return refuse(std::move(problem));
    }
    // The guard makes sure the record replaced is the one of that name even when another
    // thread moved it since the lookup.
    const int position = m_store.find(name);
    if (position < 0) {
        return refuse("The message was not saved: the saved message \"" + std::string(name)
                      + "\" no longer exists. Press OK again to save it as a new message.");
    }
    if (!m_store.replaceAt(position, RecordGuard::named(name), std::nullopt, m_recipients,
                           m_message)) {
        return refuse("The message was not saved: " + SavedMessageStore::lastErrorText());
    }
    return Step::Saved;
}
