#pragma once

#include "stores/NumericEditRule.h"
#include "stores/Schedule.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The logic of the "Schedule Message" dialog, free of any widget: the dialog shows this
// form's values, forwards every user change to it and shows the values again; OK takes
// accept(). Fields: the names (read-only), Hour and Min on the 12-hour clock with A.M./P.M.,
// the type (Once, Every Week, Every Month), the month, the Date, and seven weekday boxes.
class ScheduleForm
{
public:
    // An hour on the 12-hour clock.
    struct TwelveHour
    {
        int hour; // 1 to 12
        bool pm;
    };

    // The names of the messages being scheduled, joined by ", ".
    static std::string joinNames(const std::vector<std::string>& names);
    // 0 → 12 A.M., 1-11 → A.M., 12 → 12 P.M., 13-23 → 1-11 P.M.
    static TwelveHour to12Hour(int hour24);
    // P.M.: 12 stays, 1-11 → 13-23; A.M.: 12 → 0, 1-11 stay; nothing outside 1 to 12.
    static std::optional<int> to24Hour(int hour12, bool pm);
    // The day count of the month 1 to 12 (February always 29); 31 outside 1 to 12.
    static int daysInMonth(int month);

    // The dialog opened on `schedule` for the messages `names` at the time `now` (seconds
    // since 1970, UTC). A schedule of type none starts as Once at the local date and time of
    // `now` with no weekday set.
    ScheduleForm(std::string names, const Schedule& schedule, std::int64_t now);

    // The user picked a type radio button: enables the fields of that type and sets the
    // Date's range (1 to 31 for Every Month, the month's day count for Once).
    void chooseType(ScheduleType type);
    // The user picked a month (1 to 12): the Date's maximum becomes its day count and a
    // larger Date is lowered to it.
    void chooseMonth(int month);
    // The Hour field's text changed; out-of-range values are replaced by their bound.
    void setHourText(std::string_view text);
    // The Min field's text changed.
    void setMinuteText(std::string_view text);
    // The Date field's text changed.
    void setDateText(std::string_view text);
    // The user picked A.M. (false) or P.M. (true).
    void setPm(bool pm);
    // The user checked or unchecked a weekday box (0 Sunday to 6 Saturday).
    void setWeekdayChecked(int weekday, bool checked);

    // The schedule as OK leaves it: type, hour, minute, month, day and weekdays from the
    // fields (an hour, minute or day the fields do not hold keeps its old value), lastSent 0.
    Schedule accept() const;

    const std::string& names() const { return m_names; }
    ScheduleType type() const { return m_type; }
    const std::string& hourText() const { return m_hourText; }
    const std::string& minuteText() const { return m_minuteText; }
    const std::string& dateText() const { return m_dateText; }
    bool pm() const { return m_pm; }
    // The selected month, 1 to 12.
    int month() const { return m_month; }
    // The highest Date the field takes now.
    long dateMaximum() const { return m_dateRule.maximum(); }
    bool weekdayChecked(int weekday) const;
    // Which fields the type enables.
    bool weekdaysEnabled() const { return m_type == ScheduleType::Weekly; }
    bool dateEnabled() const { return m_type != ScheduleType::Weekly; }
    bool monthEnabled() const { return m_type == ScheduleType::Once; }

    // The rules of the three numeric fields, for the dialog's key filter.
    const NumericEditRule& hourRule() const { return m_hourRule; }
    const NumericEditRule& minuteRule() const { return m_minuteRule; }
    const NumericEditRule& dateRule() const { return m_dateRule; }

private:
    static std::string twoDigits(std::int32_t value);
    void applyDateRange();

    std::string m_names;
    Schedule m_schedule; // what the dialog opened on, with the none → Once defaults applied
    ScheduleType m_type = ScheduleType::Once;
    std::string m_hourText, m_minuteText, m_dateText;
    bool m_pm = false;
    int m_month = 1;
    int m_weekdays = 0;
    NumericEditRule m_hourRule {1, 12};
    NumericEditRule m_minuteRule {0, 59};
    NumericEditRule m_dateRule {1, 31};
};
