#pragma once

#include <string>
#include <string_view>

// One record of the saved messages store: a unique name, the schedule text ("-" when never
// scheduled), the ";"-separated recipient list and the message text (may be empty).
struct SavedMessage
{
    std::string name;
    std::string schedule;
    std::string recipients;
    std::string message;

    bool operator==(const SavedMessage&) const = default;
};

// What a guarded rewrite expects to find at the position it changes. Positions move when
// another thread or process removes a record, so a caller that read a record and then
// changes it by position says which record it means: by name (the dialogs, where a user
// picked a message), or the exact record it read (the scheduler, which must not write back
// a schedule that the user changed in the meantime).
struct RecordGuard
{
    std::string name;
    bool wholeRecord = false;
    SavedMessage record;

    // Expects a record with this name.
    static RecordGuard named(std::string_view name);
    // Expects exactly this record, all four fields.
    static RecordGuard exactly(const SavedMessage& record);
    // Whether the record found at the position is the one expected.
    bool matches(const SavedMessage& found) const;
};
