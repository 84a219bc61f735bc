#include "stores/ScheduleForm.h"

#include <array>
#include <cstdio>
#include <ctime>

namespace {

constexpr std::array<int, 12> monthDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

} // namespace

std::string ScheduleForm::joinNames(const std::vector<std::string>& names)
{
    std::string joined;
    for (const std::string& name : names) {
        if (!joined.empty()) {
            joined += ", ";
        }
        joined += name;
    }
    return joined;
}

ScheduleForm::TwelveHour ScheduleForm::to12Hour(int hour24)
{
    const int hour = ((hour24 % 24) + 24) % 24;
    if (hour == 0) {
        return {12, false};
    }
    if (hour < 12) {
        return {hour, false};
    }
    return {hour == 12 ? 12 : hour - 12, true};
}

std::optional<int> ScheduleForm::to24Hour(int hour12, bool pm)
{
    if (hour12 < 1 || hour12 > 12) {
        return std::nullopt;
    }
    if (pm) {
        return hour12 == 12 ? 12 : hour12 + 12;
    }
    return hour12 == 12 ? 0 : hour12;
}

int ScheduleForm::daysInMonth(int month)
{
    if (month < 1 || month > 12) {
        return 31;
    }
    return monthDays[static_cast<std::size_t>(month - 1)];
}

std::string ScheduleForm::twoDigits(std::int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%2.2d", static_cast<int>(value));
    return text;
}

ScheduleForm::ScheduleForm(std::string names, const Schedule& schedule, std::int64_t now)
    : m_names(std::move(names))
    , m_schedule(schedule)
{
    if (m_schedule.type == ScheduleType::None) {
        std::tm local {};
        const std::time_t time = static_cast<std::time_t>(now);
        if (localtime_r(&time, &local) != nullptr) {
            m_schedule.hour = local.tm_hour;
            m_schedule.minute = local.tm_min;
            m_schedule.month = local.tm_mon + 1;
            m_schedule.day = local.tm_mday;
        }
        m_schedule.weekdays = 0;
        m_schedule.type = ScheduleType::Once;
    }
    m_type = m_schedule.type;

    const TwelveHour shown = to12Hour(m_schedule.hour);
    m_pm = shown.pm;
    setHourText(twoDigits(shown.hour));
    setMinuteText(twoDigits(m_schedule.minute));

    m_month = m_schedule.month < 1 ? 1 : (m_schedule.month > 12 ? 12 : m_schedule.month);
    // The Date's range is set for the type before the day is shown: with the month's range
    // alone, a monthly schedule on the 31st whose (unused) month is February would show, and
    // on OK store, the 29th.
    m_dateRule.setMaximum(m_type == ScheduleType::Monthly ? 31 : daysInMonth(m_month));
    setDateText(twoDigits(m_schedule.day));

    m_weekdays = m_schedule.weekdays & 0x7F;
}

void ScheduleForm::applyDateRange()
{
    m_dateRule.setMaximum(m_type == ScheduleType::Monthly ? 31 : daysInMonth(m_month));
    setDateText(m_dateText);
}

void ScheduleForm::chooseType(ScheduleType type)
{
    if (type == ScheduleType::None) {
        return;
    }
    m_type = type;
    // Once follows the month's day count as well, so that switching from Every Month on the
    // 31st to Once in a short month cannot keep a date that never comes.
    applyDateRange();
}

void ScheduleForm::chooseMonth(int month)
{
    if (month < 1 || month > 12) {
        return;
    }
    m_month = month;
    applyDateRange();
}

void ScheduleForm::setHourText(std::string_view text)
{
    m_hourText = m_hourRule.apply(text);
}

void ScheduleForm::setMinuteText(std::string_view text)
{
    m_minuteText = m_minuteRule.apply(text);
}

void ScheduleForm::setDateText(std::string_view text)
{
    m_dateText = m_dateRule.apply(text);
}

void ScheduleForm::setPm(bool pm)
{
    m_pm = pm;
}

void ScheduleForm::setWeekdayChecked(int weekday, bool checked)
{
    if (weekday < 0 || weekday > 6) {
        return;
    }
    if (checked) {
        m_weekdays |= 1 << weekday;
    } else {
        m_weekdays &= ~(1 << weekday);
    }
}

bool ScheduleForm::weekdayChecked(int weekday) const
{
    return weekday >= 0 && weekday <= 6 && (m_weekdays & (1 << weekday)) != 0;
}

Schedule ScheduleForm::accept() const
{
    Schedule result = m_schedule;
    result.type = m_type;
    // An empty Hour field keeps the old hour, as an empty Min or Date keeps its value.
    if (const auto hour = to24Hour(static_cast<int>(NumericEditRule::valueOf(m_hourText)), m_pm)) {
        result.hour = *hour;
    }
    const long minute = NumericEditRule::valueOf(m_minuteText);
    if (minute >= 0 && minute < 60) {
        result.minute = static_cast<std::int32_t>(minute);
    }
    result.month = m_month;
    const long day = NumericEditRule::valueOf(m_dateText);
    if (day >= 1 && day <= 31) {
        result.day = static_cast<std::int32_t>(day);
    }
    result.weekdays = m_weekdays;
    result.lastSent = 0;
    return result;
}
