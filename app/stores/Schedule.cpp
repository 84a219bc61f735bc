#include "stores/Schedule.h"

#include "text/TextNumber.h"

#include <array>
#include <bit>
#include <cinttypes>
#include <cstdio>
#include <ctime>

namespace {

constexpr std::array<std::string_view, 7> weekdayNames
    = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> monthAbbreviations
    = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr int allWeekdays = 0x7F;

bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// One "%d" of a scan: skips blanks, then needs an optional sign and at least one digit.
// False (a matching failure that ends the scan) when there is no number.
bool scanNumber(std::string_view& rest, std::string_view& number)
{
    std::size_t i = 0;
    while (i < rest.size() && isBlank(rest[i])) {
        ++i;
    }
    const std::size_t start = i;
    if (i < rest.size() && (rest[i] == '+' || rest[i] == '-')) {
        ++i;
    }
    const std::size_t digits = i;
    while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') {
        ++i;
    }
    if (i == digits) {
        return false;
    }
    number = rest.substr(start, i - start);
    rest.remove_prefix(i);
    return true;
}

bool localFields(std::int64_t seconds, std::tm& fields)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    return localtime_r(&time, &fields) != nullptr;
}

std::string_view ordinalSuffix(std::int32_t day)
{
    const std::int64_t value = day < 0 ? -static_cast<std::int64_t>(day) : day;
    if (value % 100 >= 11 && value % 100 <= 13) {
        return "th";
    }
    switch (value % 10) {
    case 1:
        return "st";
    case 2:
        return "nd";
    case 3:
        return "rd";
    default:
        return "th";
    }
}

std::string weekdayList(std::int32_t weekdays)
{
    const int set = weekdays & allWeekdays;
    if (set == 0) {
        return "Every week (day not set)";
    }
    if (set == allWeekdays) {
        return "Every day of the week";
    }
    std::string text = "Every ";
    int remaining = std::popcount(static_cast<unsigned>(set));
    for (int weekday = 0; weekday < 7; ++weekday) {
        if ((set & (1 << weekday)) == 0) {
            continue;
        }
        text += weekdayNames[static_cast<std::size_t>(weekday)];
        --remaining;
        if (remaining > 1) {
            text += ", ";
        } else if (remaining == 1) {
            text += " and ";
        }
    }
    return text;
}

} // namespace

Schedule Schedule::fromText(std::string_view text)
{
    Schedule schedule;
    schedule.parse(text);
    return schedule;
}

std::string_view Schedule::weekdayName(int weekday)
{
    if (weekday < 0 || weekday > 6) {
        return "??";
    }
    return weekdayNames[static_cast<std::size_t>(weekday)];
}

void Schedule::clear()
{
    *this = Schedule();
}

void Schedule::parse(std::string_view text)
{
    clear();
    if (text.empty()) {
        return;
    }
    switch (text.front()) {
    case 'M':
        type = ScheduleType::Monthly;
        break;
    case 'O':
        type = ScheduleType::Once;
        break;
    case 'W':
        type = ScheduleType::Weekly;
        break;
    default:
        type = ScheduleType::None;
        break;
    }
    std::string_view rest = text.substr(1);
    std::int32_t* const smallFields[] = {&weekdays, &day, &month, &hour, &minute};
    std::string_view number;
    for (std::int32_t* field : smallFields) {
        if (!scanNumber(rest, number)) {
            return;
        }
        *field = TextNumber::atoi(number);
    }
    if (scanNumber(rest, number)) {
        lastSent = TextNumber::leading(number);
    }
}

std::string Schedule::format() const
{
    const auto letter = static_cast<std::int32_t>(type);
    char text[96];
    std::snprintf(text, sizeof text,
                  "%c %3.3" PRId32 " %2.2" PRId32 " %2.2" PRId32 " %2.2" PRId32 " %2.2" PRId32
                  " %12.12" PRId64,
                  letter < 32 ? '-' : static_cast<char>(letter), weekdays, day, month, hour, minute,
                  lastSent);
    return text;
}

std::string Schedule::describe() const
{
    std::string text;
    char buffer[64];
    switch (type) {
    case ScheduleType::Monthly:
        std::snprintf(buffer, sizeof buffer, "On the %" PRId32 "%s of every month", day,
                      std::string(ordinalSuffix(day)).c_str());
        text = buffer;
        break;
    case ScheduleType::Once:
        std::snprintf(buffer, sizeof buffer, "Once on %2.2" PRId32 "/%2.2" PRId32, month, day);
        text = buffer;
        break;
    case ScheduleType::Weekly:
        text = weekdayList(weekdays);
        break;
    case ScheduleType::None:
        return "Not scheduled";
    }
    std::int32_t shownHour = hour;
    if (hour == 0 || hour == 12) {
        shownHour = 12;
    } else if (hour > 12 && hour < 24) {
        shownHour = hour - 12;
    }
    std::snprintf(buffer, sizeof buffer, " at %" PRId32 ":%2.2" PRId32 "%s", shownHour, minute,
                  hour < 12 ? "am" : "pm");
    text += buffer;
    return text;
}

std::string Schedule::describeLastSent() const
{
    if (lastSent == 0) {
        return "Never";
    }
    std::tm local {};
    if (!localFields(lastSent, local)) {
        return "Unknown";
    }
    char text[64];
    // The classic 24-character form, spelled out here so that no locale can change it.
    std::snprintf(text, sizeof text, "%s %s %2d %2.2d:%2.2d:%2.2d %d",
                  std::string(weekdayName(local.tm_wday)).substr(0, 3).c_str(),
                  std::string(monthAbbreviations[static_cast<std::size_t>(local.tm_mon)]).c_str(),
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, local.tm_year + 1900);
    return text;
}

bool Schedule::hasWeekday(int weekday) const
{
    return weekday >= 0 && weekday <= 6 && (weekdays & (1 << weekday)) != 0;
}

bool Schedule::setWeekday(int weekday)
{
    if (weekday < 0 || weekday > 6) {
        return false;
    }
    weekdays |= 1 << weekday;
    return true;
}

bool Schedule::clearWeekday(int weekday)
{
    if (weekday < 0 || weekday > 6) {
        return false;
    }
    weekdays &= ~(1 << weekday);
    return true;
}

bool Schedule::isDue(std::int64_t now) const
{
    if (type == ScheduleType::None) {
        return false;
    }
    std::tm today {};
    if (!localFields(now, today)) {
        return false;
    }
    if (lastSent != 0) {
        // Sent today: the year is deliberately not compared (see the class comment of the
        // scheduler: a Once schedule that fired stays quiet until it is edited).
        std::tm sent {};
        if (localFields(lastSent, sent) && sent.tm_mon == today.tm_mon
            && sent.tm_mday == today.tm_mday) {
            return false;
        }
    }
    if (today.tm_hour != hour || today.tm_min != minute) {
        return false;
    }
    switch (type) {
    case ScheduleType::Monthly:
        return today.tm_mday == day;
    case ScheduleType::Once:
        return today.tm_mon + 1 == month && today.tm_mday == day;
    case ScheduleType::Weekly:
        return hasWeekday(today.tm_wday);
    case ScheduleType::None:
        break;
    }
    return false;
}
