#include "stores/SavedMessagesForm.h"

#include "stores/SavedMessageStore.h"
#include "stores/ScheduleForm.h"

#include <algorithm>

namespace {

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

} // namespace

SavedMessagesForm::SavedMessagesForm(SavedMessageStore& store)
    : m_store(store)
{ }

const std::vector<std::string>& SavedMessagesForm::fill()
{
    m_rows.clear();
    std::vector<SavedMessage> records;
    if (m_store.list(records, SavedMessageStore::listingLimit)) {
        for (SavedMessage& record : records) {
            m_rows.push_back(std::move(record.name));
        }
    }
    return m_rows;
}

std::vector<int> SavedMessagesForm::validRows(std::vector<int> selected) const
{
    std::erase_if(selected, [this](int row) {
        return row < 0 || static_cast<std::size_t>(row) >= m_rows.size();
    });
    std::sort(selected.begin(), selected.end(), std::greater<>());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    return selected;
}

SavedMessagesForm::Details SavedMessagesForm::details(const std::vector<int>& selected,
                                                      bool* stale) const
{
    if (stale != nullptr) {
        *stale = false;
    }
    const std::vector<int> rows = validRows(selected);
    if (rows.size() != 1 || selected.size() != 1) {
        return {};
    }
    const std::string& name = m_rows[static_cast<std::size_t>(rows.front())];
    SavedMessage record;
    bool found = m_store.getAt(rows.front(), record);
    if (!found || record.name != name) {
        if (stale != nullptr) {
            *stale = true;
        }
        const int position = m_store.find(name);
        found = position >= 0 && m_store.getAt(position, record);
    }
    if (!found) {
        return {};
    }
    const Schedule schedule = Schedule::fromText(record.schedule);
    return {record.recipients, record.message, schedule.describe(), schedule.describeLastSent()};
}

void SavedMessagesForm::addProblem(Outcome& outcome, const std::string& problem)
{
    if (!outcome.notice.empty()) {
        outcome.notice += "\r";
    }
    outcome.notice += problem;
}

SavedMessagesForm::Outcome SavedMessagesForm::remove(std::vector<int> selected)
{
    Outcome outcome;
    const std::vector<int> rows = validRows(std::move(selected));
    if (rows.empty()) {
        return outcome;
    }
    outcome.refill = true;
    bool changedUnder = false;
    // Highest position first, so that the positions still to go stay where they were.
    for (const int row : rows) {
        const std::string& name = m_rows[static_cast<std::size_t>(row)];
        if (m_store.removeAt(row, RecordGuard::named(name))) {
            continue;
        }
        if (SavedMessageStore::lastError() == StoreErrorCode::RecordChanged) {
            changedUnder = true;
            addProblem(outcome,
                       "The saved message " + quoted(name)
                           + " was not deleted: it was changed or moved elsewhere"
                             " since the list was read.");
        } else {
            addProblem(outcome,
                       "The saved message " + quoted(name)
                           + " was not deleted: " + SavedMessageStore::lastErrorText());
        }
    }
    if (changedUnder) {
        addProblem(outcome,
                   "The list now shows the saved messages as they are; select the "
                   "message again if it should still go.");
    }
    return outcome;
}

bool SavedMessagesForm::scheduleTarget(const std::vector<int>& selected, std::string& names,
                                       Schedule& schedule, Outcome& outcome) const
{
    outcome = {};
    std::vector<int> rows = validRows(selected);
    if (rows.empty()) {
        return false;
    }
    std::reverse(rows.begin(), rows.end());
    const std::string& first = m_rows[static_cast<std::size_t>(rows.front())];
    SavedMessage record;
    if (!m_store.getAt(rows.front(), record) || record.name != first) {
        outcome.refill = true;
        outcome.notice = "The saved message " + quoted(first)
            + " was changed or removed elsewhere since the list was read. The list now shows "
              "the saved messages as they are; select the messages again.";
        return false;
    }
    std::vector<std::string> selectedNames;
    for (const int row : rows) {
        selectedNames.push_back(m_rows[static_cast<std::size_t>(row)]);
    }
    names = ScheduleForm::joinNames(selectedNames);
    schedule = Schedule::fromText(record.schedule);
    return true;
}

SavedMessagesForm::Outcome SavedMessagesForm::writeSchedule(const std::vector<int>& selected,
                                                            const std::string& text,
                                                            const char* action)
{
    Outcome outcome;
    const std::vector<int> rows = validRows(selected);
    if (rows.empty()) {
        return outcome;
    }
    outcome.refill = true;
    bool changedUnder = false;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const std::string& name = m_rows[static_cast<std::size_t>(*row)];
        if (m_store.replaceAt(*row, RecordGuard::named(name), text, std::nullopt, std::nullopt)) {
            continue;
        }
        const bool moved = SavedMessageStore::lastError() == StoreErrorCode::RecordChanged;
        changedUnder = changedUnder || moved;
        addProblem(outcome,
                   "The schedule of " + quoted(name) + " was not " + action + ": "
                       + (moved ? std::string("the message was changed or moved "
                                              "elsewhere since the list was read.")
                                : SavedMessageStore::lastErrorText()));
    }
    if (changedUnder) {
        addProblem(outcome,
                   "The list now shows the saved messages as they are; select the "
                   "message again to change its schedule.");
    }
    return outcome;
}

SavedMessagesForm::Outcome SavedMessagesForm::applySchedule(const std::vector<int>& selected,
                                                            const Schedule& schedule)
{
    Schedule edited = schedule;
    edited.lastSent = 0;
    return writeSchedule(selected, edited.format(), "changed");
}

SavedMessagesForm::Outcome SavedMessagesForm::clear(const std::vector<int>& selected)
{
    return writeSchedule(selected, std::string(Schedule::clearedText), "cleared");
}

bool SavedMessagesForm::storeChanged(std::int64_t modified, std::int64_t now)
{
    // Modification times count whole seconds: a write later in the second of the last look
    // leaves the time as it was, so a file changed in or after that second is looked at again.
    const bool changed = modified != m_seenModified || modified >= m_seenAt;
    m_seenModified = modified;
    m_seenAt = now;
    return changed;
}
