#include "stores/Schedule.h"

#include "LocalZone.h"

#include <gtest/gtest.h>

namespace {

Schedule make(ScheduleType type, int weekdays, int day, int month, int hour, int minute,
              std::int64_t lastSent = 0)
{
    Schedule schedule;
    schedule.type = type;
    schedule.weekdays = weekdays;
    schedule.day = day;
    schedule.month = month;
    schedule.hour = hour;
    schedule.minute = minute;
    schedule.lastSent = lastSent;
    return schedule;
}

constexpr int monday = 1 << 1, wednesday = 1 << 3, friday = 1 << 5;

TEST(Schedule, FormatsTheFixedTextForm)
{
    EXPECT_EQ(make(ScheduleType::Weekly, monday | wednesday | friday, 0, 0, 9, 30).format(),
              "W 042 00 00 09 30 000000000000");
    EXPECT_EQ(Schedule().format(), Schedule::clearedText);
    EXPECT_EQ(make(ScheduleType::Once, 0, 4, 7, 23, 5, 899012345).format(),
              "O 000 04 07 23 05 000899012345");
    EXPECT_EQ(make(ScheduleType::Monthly, 127, 31, 12, 0, 0).format(),
              "M 127 31 12 00 00 000000000000");
    // Times after 2038 keep their value in the twelve digits.
    EXPECT_EQ(make(ScheduleType::Monthly, 0, 1, 1, 0, 0, 4102444800).format(),
              "M 000 01 01 00 00 004102444800");
}

struct ParseCase
{
    const char* text;
    Schedule expected;
};

class ScheduleParse : public testing::TestWithParam<ParseCase>
{ };

TEST_P(ScheduleParse, ReadsAsTheCScanDoes)
{
    EXPECT_EQ(Schedule::fromText(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ScheduleParse,
    testing::Values(
        ParseCase {"W 042 00 00 09 30 000000000000", make(ScheduleType::Weekly, 42, 0, 0, 9, 30)},
        ParseCase {"O 000 04 07 23 05 000899012345",
                   make(ScheduleType::Once, 0, 4, 7, 23, 5, 899012345)},
        ParseCase {"M 000 01 01 00 00 004102444800",
                   make(ScheduleType::Monthly, 0, 1, 1, 0, 0, 4102444800)},
        ParseCase {"-", Schedule()}, ParseCase {"", Schedule()},
        ParseCase {"- 000 00 00 00 00 000000000000", Schedule()},
        // Another letter reads as none, yet the numbers are read.
        ParseCase {"X 004 05 06 07 08 000000000009", make(ScheduleType::None, 4, 5, 6, 7, 8, 9)},
        ParseCase {"w 042 00 00 09 30 0", make(ScheduleType::None, 42, 0, 0, 9, 30)},
        // Missing fields stay 0; the scan stops at the first field it cannot read.
        ParseCase {"M 000 15", make(ScheduleType::Monthly, 0, 15, 0, 0, 0)},
        ParseCase {"M 000 15 x 10 30 5", make(ScheduleType::Monthly, 0, 15, 0, 0, 0)},
        ParseCase {"O 000 - 07", make(ScheduleType::Once, 0, 0, 0, 0, 0)},
        // %c takes the first byte as it is, even a blank.
        ParseCase {" W 042 00 00 09 30 0", Schedule()},
        // Blanks of any kind and number separate; signs are read.
        ParseCase {"M\t1  -2\n3 +4 5 6", make(ScheduleType::Monthly, 1, -2, 3, 4, 5, 6)},
        ParseCase {"W1 2 3 4 5 6", make(ScheduleType::Weekly, 1, 2, 3, 4, 5, 6)}));

TEST(Schedule, FormatThenParseGivesTheSameSchedule)
{
    const Schedule schedules[] = {
        make(ScheduleType::Weekly, 0x41, 3, 4, 23, 59, 1700000000),
        make(ScheduleType::Once, 0, 29, 2, 13, 0),
        make(ScheduleType::Monthly, 0, 31, 0, 0, 15, 1),
    };
    for (const Schedule& schedule : schedules) {
        EXPECT_EQ(Schedule::fromText(schedule.format()), schedule) << schedule.format();
    }
}

struct DescribeCase
{
    Schedule schedule;
    const char* text;
};

class ScheduleDescribe : public testing::TestWithParam<DescribeCase>
{ };

TEST_P(ScheduleDescribe, InEnglishWords)
{
    EXPECT_EQ(GetParam().schedule.describe(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Words, ScheduleDescribe,
    testing::Values(
        DescribeCase {make(ScheduleType::Monthly, 0, 11, 0, 12, 0),
                      "On the 11th of every month at 12:00pm"},
        DescribeCase {make(ScheduleType::Monthly, 0, 22, 0, 0, 15),
                      "On the 22nd of every month at 12:15am"},
        DescribeCase {make(ScheduleType::Monthly, 0, 1, 0, 1, 1),
                      "On the 1st of every month at 1:01am"},
        DescribeCase {make(ScheduleType::Monthly, 0, 3, 0, 11, 59),
                      "On the 3rd of every month at 11:59am"},
        DescribeCase {make(ScheduleType::Monthly, 0, 12, 0, 23, 0),
                      "On the 12th of every month at 11:00pm"},
        DescribeCase {make(ScheduleType::Monthly, 0, 13, 0, 0, 0),
                      "On the 13th of every month at 12:00am"},
        DescribeCase {make(ScheduleType::Monthly, 0, 21, 0, 0, 0),
                      "On the 21st of every month at 12:00am"},
        DescribeCase {make(ScheduleType::Monthly, 0, 23, 0, 0, 0),
                      "On the 23rd of every month at 12:00am"},
        DescribeCase {make(ScheduleType::Monthly, 0, 31, 0, 0, 0),
                      "On the 31st of every month at 12:00am"},
        DescribeCase {make(ScheduleType::Once, 0, 29, 2, 13, 0), "Once on 02/29 at 1:00pm"},
        DescribeCase {make(ScheduleType::Weekly, monday | wednesday | friday, 0, 0, 9, 30),
                      "Every Monday, Wednesday and Friday at 9:30am"},
        DescribeCase {make(ScheduleType::Weekly, monday | friday, 0, 0, 9, 5),
                      "Every Monday and Friday at 9:05am"},
        DescribeCase {make(ScheduleType::Weekly, monday, 0, 0, 12, 0), "Every Monday at 12:00pm"},
        DescribeCase {make(ScheduleType::Weekly, 1 | 64, 0, 0, 18, 45),
                      "Every Sunday and Saturday at 6:45pm"},
        DescribeCase {make(ScheduleType::Weekly, 0, 0, 0, 7, 0),
                      "Every week (day not set) at 7:00am"},
        DescribeCase {make(ScheduleType::Weekly, 127, 0, 0, 7, 0),
                      "Every day of the week at 7:00am"},
        DescribeCase {make(ScheduleType::None, 127, 5, 5, 7, 0), "Not scheduled"}));

TEST(Schedule, WeekdayNamesAndOperationsRefuseNumbersOutsideTheWeek)
{
    EXPECT_EQ(Schedule::weekdayName(0), "Sunday");
    EXPECT_EQ(Schedule::weekdayName(6), "Saturday");
    EXPECT_EQ(Schedule::weekdayName(7), "??");
    EXPECT_EQ(Schedule::weekdayName(-1), "??");
    Schedule schedule;
    EXPECT_TRUE(schedule.setWeekday(1));
    EXPECT_TRUE(schedule.setWeekday(5));
    EXPECT_FALSE(schedule.setWeekday(7));
    EXPECT_FALSE(schedule.setWeekday(-1));
    EXPECT_EQ(schedule.weekdays, monday | friday);
    EXPECT_TRUE(schedule.hasWeekday(5));
    EXPECT_FALSE(schedule.hasWeekday(2));
    EXPECT_FALSE(schedule.hasWeekday(7));
    EXPECT_TRUE(schedule.clearWeekday(5));
    EXPECT_FALSE(schedule.clearWeekday(9));
    EXPECT_EQ(schedule.weekdays, monday);
    schedule.clear();
    EXPECT_EQ(schedule, Schedule());
}

TEST(Schedule, LastSentInTheClassicLocalForm)
{
    EXPECT_EQ(Schedule().describeLastSent(), "Never");
    Schedule schedule;
    schedule.lastSent = LocalZone::seconds(2024, 7, 4, 9, 5, 7);
    EXPECT_EQ(schedule.describeLastSent(), "Thu Jul  4 09:05:07 2024");
    schedule.lastSent = LocalZone::seconds(1998, 12, 31, 23, 59, 59);
    EXPECT_EQ(schedule.describeLastSent(), "Thu Dec 31 23:59:59 1998");
}

struct DueCase
{
    const char* what;
    Schedule schedule;
    std::int64_t now;
    bool due;
};

class ScheduleDue : public testing::TestWithParam<DueCase>
{ };

TEST_P(ScheduleDue, InLocalTime)
{
    EXPECT_EQ(GetParam().schedule.isDue(GetParam().now), GetParam().due) << GetParam().what;
}

// 2024-01-01 was a Monday; 2024-07-04 a Thursday; 2024-03-10 the first day of daylight time.
const std::int64_t sentJuly4 = LocalZone::seconds(2024, 7, 4, 10, 0, 3);

INSTANTIATE_TEST_SUITE_P(
    Rules, ScheduleDue,
    testing::Values(
        DueCase {"weekly Monday 09:05 on a Monday at 09:05",
                 make(ScheduleType::Weekly, monday | friday, 0, 0, 9, 5),
                 LocalZone::seconds(2024, 1, 1, 9, 5, 30), true},
        DueCase {"at 09:06", make(ScheduleType::Weekly, monday | friday, 0, 0, 9, 5),
                 LocalZone::seconds(2024, 1, 1, 9, 6), false},
        DueCase {"on a Tuesday", make(ScheduleType::Weekly, monday | friday, 0, 0, 9, 5),
                 LocalZone::seconds(2024, 1, 2, 9, 5), false},
        DueCase {
            "sent today already",
            make(ScheduleType::Weekly, monday, 0, 0, 9, 5, LocalZone::seconds(2024, 1, 1, 9, 5, 1)),
            LocalZone::seconds(2024, 1, 1, 9, 5, 6), false},
        DueCase {
            "sent last week",
            make(ScheduleType::Weekly, monday, 0, 0, 9, 5, LocalZone::seconds(2023, 12, 25, 9, 5)),
            LocalZone::seconds(2024, 1, 1, 9, 5), true},
        DueCase {"weekly without a day", make(ScheduleType::Weekly, 0, 0, 0, 9, 5),
                 LocalZone::seconds(2024, 1, 1, 9, 5), false},
        DueCase {"once on 1 January at 00:00, never sent", make(ScheduleType::Once, 0, 1, 1, 0, 0),
                 LocalZone::seconds(2024, 1, 1, 0, 0), true},
        DueCase {"once in another month", make(ScheduleType::Once, 0, 1, 2, 0, 0),
                 LocalZone::seconds(2024, 1, 1, 0, 0), false},
        DueCase {"once on 4 July, fired a year before",
                 make(ScheduleType::Once, 0, 4, 7, 10, 0, sentJuly4),
                 LocalZone::seconds(2025, 7, 4, 10, 0), false},
        DueCase {"monthly 31 on 31 May", make(ScheduleType::Monthly, 0, 31, 0, 8, 0),
                 LocalZone::seconds(2024, 5, 31, 8, 0), true},
        DueCase {"monthly 31 on 30 April", make(ScheduleType::Monthly, 0, 31, 0, 8, 0),
                 LocalZone::seconds(2024, 4, 30, 8, 0), false},
        DueCase {"monthly 31 on 1 May", make(ScheduleType::Monthly, 0, 31, 0, 8, 0),
                 LocalZone::seconds(2024, 5, 1, 8, 0), false},
        DueCase {"none", make(ScheduleType::None, 127, 1, 1, 0, 0),
                 LocalZone::seconds(2024, 1, 1, 0, 0), false},
        // Local, not UTC: 09:05 in New York is 14:05 UTC in winter, 13:05 in summer.
        DueCase {"summer time", make(ScheduleType::Weekly, monday, 0, 0, 9, 5),
                 LocalZone::seconds(2024, 7, 1, 9, 5), true},
        DueCase {"UTC hour is not the local hour", make(ScheduleType::Weekly, monday, 0, 0, 14, 5),
                 LocalZone::seconds(2024, 1, 1, 9, 5), false},
        // 02:30 does not exist on the first day of daylight time: 01:59 is followed by 03:00.
        DueCase {"a skipped local minute", make(ScheduleType::Monthly, 0, 10, 3, 3, 0),
                 LocalZone::seconds(2024, 3, 10, 1, 59) + 60, true}));

} // namespace
