#pragma once

#include "stores/Schedule.h"

#include <cstdint>
#include <string>
#include <vector>

class SavedMessageStore;

// The rules of the "Saved Messages" dialog, free of any widget. The rows are the names of the
// first 100 records as the last fill() read them; the dialog hands in the selected rows (their
// positions) and shows what the form gives back. Every change is a guarded rewrite of the
// record the row showed: when another thread or program changed or moved it in the meantime,
// nothing is written to whatever record now stands there, and the outcome asks the dialog to
// fill the list again and tell the user.
class SavedMessagesForm
{
public:
    // The four fields that show the selected message; all empty unless exactly one row is
    // selected.
    struct Details
    {
        std::string to;
        std::string message;
        std::string schedule; // the schedule in words
        std::string lastSent; // "Never" or the local time, "Wed Jun 30 21:49:08 1993"
    };

    // What a change did.
    struct Outcome
    {
        bool refill = false; // the list must be filled again
        std::string notice; // "" or what the user must be told
    };

    // The form over `store`, which must outlive it.
    explicit SavedMessagesForm(SavedMessageStore& store);

    // Reads the names of the first 100 records (none for a missing or unreadable file).
    const std::vector<std::string>& fill();
    // The names as the last fill() read them, one per row.
    const std::vector<std::string>& rows() const { return m_rows; }

    // The fields for the selected rows, read afresh. `stale` (when given) tells whether the
    // record at a row is no longer the one the row names, so the list should be filled again;
    // the fields then show the message of the row's name wherever it now stands.
    Details details(const std::vector<int>& selected, bool* stale = nullptr) const;

    // "Delete Message": removes the selected rows' records from the highest position down.
    Outcome remove(std::vector<int> selected);
    // What "Change" opens the "Schedule Message" dialog on: the selected names joined by ", "
    // and the first selected record's schedule. False without a selection, or (with `outcome`
    // telling why) when the first record changed under its row.
    bool scheduleTarget(const std::vector<int>& selected, std::string& names, Schedule& schedule,
                        Outcome& outcome) const;
    // "Change" confirmed: writes `schedule` (lastSent 0) to every selected record, keeping
    // recipients and message.
    Outcome applySchedule(const std::vector<int>& selected, const Schedule& schedule);
    // "Clear": writes the cleared schedule to every selected record.
    Outcome clear(const std::vector<int>& selected);

    // The timer's look at the store: whether the details must be shown again, given the
    // file's modification time (seconds, -1 when it cannot be read) and the time now.
    bool storeChanged(std::int64_t modified, std::int64_t now);

private:
    // The selected rows that exist, highest first, without duplicates.
    std::vector<int> validRows(std::vector<int> selected) const;
    Outcome writeSchedule(const std::vector<int>& selected, const std::string& text,
                          const char* action);
    static void addProblem(Outcome& outcome, const std::string& problem);

    SavedMessageStore& m_store;
    std::vector<std::string> m_rows;
    // What the timer saw last: the file's modification time and when it looked.
    std::int64_t m_seenModified = 0;
    std::int64_t m_seenAt = 0;
};
