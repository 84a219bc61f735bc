#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The kind of a schedule; the letters are those of the text form.
enum class ScheduleType : std::int32_t { None = 0, Once = 'O', Weekly = 'W', Monthly = 'M' };

// The schedule of a saved message: once on a month and day, weekly on a set of weekdays or
// monthly on a day, always at an hour and minute, with the time it was last sent. Fields a
// type does not use keep their values and are stored all the same.
//
// Text form (the schedule field of a saved message), "%c %3.3d %2.2d %2.2d %2.2d %2.2d %12.12d":
// type letter ("-" for none), weekdays, day, month, hour, minute, lastSent. Example: every
// Monday, Wednesday and Friday at 09:30, never sent: "W 042 00 00 09 30 000000000000".
class Schedule
{
public:
    // The text of a cleared schedule, written by "Clear".
    static constexpr std::string_view clearedText = "- 000 00 00 00 00 000000000000";

    ScheduleType type = ScheduleType::None;
    std::int32_t day = 0; // day of the month, 1 to 31 (Once, Monthly)
    std::int32_t weekdays = 0; // bit 0 Sunday ... bit 6 Saturday (Weekly)
    std::int32_t month = 0; // 1 to 12 (Once)
    std::int32_t hour = 0; // 0 to 23
    std::int32_t minute = 0; // 0 to 59
    // When the scheduler last sent the message, seconds since 1970 (UTC); 0 means never.
    // Kept in 64 bits so that times after 2038 survive; the text form's 12 digits hold them.
    std::int64_t lastSent = 0;

    // The schedule read from its text form (see parse()).
    static Schedule fromText(std::string_view text);
    // The English name of the weekday 0 (Sunday) to 6 (Saturday); "??" for other numbers.
    static std::string_view weekdayName(int weekday);

    // Sets all seven fields to 0 (type none, never sent).
    void clear();
    // Clears, then reads the text as "%c %d %d %d %d %d %d" does: fields after the first one
    // that cannot be read stay 0; a type letter other than M, O or W reads as none.
    void parse(std::string_view text);
    // The text form.
    std::string format() const;
    // The schedule in words, e.g. "Every Monday and Friday at 9:05am" or "Not scheduled".
    std::string describe() const;
    // "Never" when lastSent is 0, else lastSent in local time as "Wed Jun 30 21:49:08 1993".
    std::string describeLastSent() const;

    // Whether the weekday (0 Sunday to 6 Saturday) is in the set; false outside 0 to 6.
    bool hasWeekday(int weekday) const;
    // Adds the weekday to the set; refused (false) outside 0 to 6.
    [[nodiscard]] bool setWeekday(int weekday);
    // Removes the weekday from the set; refused (false) outside 0 to 6.
    [[nodiscard]] bool clearWeekday(int weekday);

    // Whether the message is due at `now` (seconds since 1970, UTC), compared in local time:
    // never for type none or when lastSent falls on today's month and day (of any year);
    // otherwise when hour and minute match and Monthly: the day matches; Once: month and day
    // match; Weekly: today's weekday is in the set.
    bool isDue(std::int64_t now) const;

    bool operator==(const Schedule&) const = default;
};
