#include "stores/ScheduleForm.h"

#include "LocalZone.h"

#include <gtest/gtest.h>

namespace {

Schedule scheduled(ScheduleType type, int day, int month, int hour, int minute, int weekdays = 0)
{
    Schedule schedule;
    schedule.type = type;
    schedule.day = day;
    schedule.month = month;
    schedule.hour = hour;
    schedule.minute = minute;
    schedule.weekdays = weekdays;
    schedule.lastSent = 1700000000;
    return schedule;
}

const std::int64_t someTime = LocalZone::seconds(2024, 7, 4, 15, 7);

TEST(ScheduleForm, TwelveHourClockBothWays)
{
    const struct
    {
        int hour24;
        int hour12;
        bool pm;
    } cases[] = {{0, 12, false}, {1, 1, false}, {11, 11, false},
                 {12, 12, true}, {13, 1, true}, {23, 11, true}};
    for (const auto& c : cases) {
        const ScheduleForm::TwelveHour shown = ScheduleForm::to12Hour(c.hour24);
        EXPECT_EQ(shown.hour, c.hour12) << c.hour24;
        EXPECT_EQ(shown.pm, c.pm) << c.hour24;
        EXPECT_EQ(ScheduleForm::to24Hour(c.hour12, c.pm), c.hour24) << c.hour24;
    }
    EXPECT_FALSE(ScheduleForm::to24Hour(0, true));
    EXPECT_FALSE(ScheduleForm::to24Hour(13, false));
}

TEST(ScheduleForm, MonthTableHasAlwaysTwentyNineDaysInFebruary)
{
    const int expected[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(ScheduleForm::daysInMonth(month), expected[month - 1]) << month;
    }
}

TEST(ScheduleForm, OkKeepsMidnightAndNoonAsTheyWere)
{
    for (const int hour : {0, 12, 13, 23, 1}) {
        ScheduleForm form("n", scheduled(ScheduleType::Monthly, 5, 1, hour, 30), someTime);
        const Schedule result = form.accept();
        EXPECT_EQ(result.hour, hour);
        EXPECT_EQ(result.minute, 30);
        EXPECT_EQ(result.lastSent, 0);
    }
    ScheduleForm form("n", scheduled(ScheduleType::Monthly, 5, 1, 13, 0), someTime);
    EXPECT_EQ(form.hourText(), "01");
    EXPECT_TRUE(form.pm());
    form.setPm(false);
    EXPECT_EQ(form.accept().hour, 1);
}

TEST(ScheduleForm, NumericFieldsClampToTheirRangeAndTakeOnlyDigits)
{
    ScheduleForm form("n", scheduled(ScheduleType::Once, 5, 1, 9, 0), someTime);
    const struct
    {
        void (ScheduleForm::*set)(std::string_view);
        const std::string& (ScheduleForm::*get)() const;
        const char* typed;
        const char* shown;
    } cases[] = {
        {&ScheduleForm::setMinuteText, &ScheduleForm::minuteText, "75", "59"},
        {&ScheduleForm::setMinuteText, &ScheduleForm::minuteText, "07", "07"},
        {&ScheduleForm::setMinuteText, &ScheduleForm::minuteText, "", ""},
        {&ScheduleForm::setHourText, &ScheduleForm::hourText, "0", "1"},
        {&ScheduleForm::setHourText, &ScheduleForm::hourText, "13", "12"},
        {&ScheduleForm::setHourText, &ScheduleForm::hourText, "99999999999999999999", "12"},
        {&ScheduleForm::setDateText, &ScheduleForm::dateText, "32", "31"},
        {&ScheduleForm::setDateText, &ScheduleForm::dateText, "00", "1"},
    };
    for (const auto& c : cases) {
        (form.*c.set)(c.typed);
        EXPECT_EQ((form.*c.get)(), c.shown) << c.typed;
    }
    EXPECT_FALSE(NumericEditRule::keyAccepted('a'));
    EXPECT_FALSE(NumericEditRule::keyAccepted(' '));
    EXPECT_FALSE(NumericEditRule::keyAccepted('~'));
    EXPECT_FALSE(NumericEditRule::keyAccepted('-'));
    EXPECT_TRUE(NumericEditRule::keyAccepted('5'));
    EXPECT_TRUE(NumericEditRule::keyAccepted('\b'));
    EXPECT_TRUE(NumericEditRule::keyAccepted('\x7f'));
}

TEST(ScheduleForm, FebruaryLowersTheDateToTwentyNine)
{
    ScheduleForm form("n", scheduled(ScheduleType::Once, 31, 1, 9, 0), someTime);
    EXPECT_EQ(form.dateText(), "31");
    form.chooseMonth(2);
    EXPECT_EQ(form.dateMaximum(), 29);
    EXPECT_EQ(form.dateText(), "29");
    form.chooseMonth(4);
    EXPECT_EQ(form.dateText(), "29");
    const Schedule result = form.accept();
    EXPECT_EQ(result.month, 4);
    EXPECT_EQ(result.day, 29);
}

TEST(ScheduleForm, OpeningAndClickingTypesSetsTheDateRangeForTheType)
{
    // A monthly schedule on the 31st whose unused month is February opens with the 31st.
    ScheduleForm monthly("n", scheduled(ScheduleType::Monthly, 31, 2, 9, 0), someTime);
    EXPECT_EQ(monthly.dateText(), "31");
    EXPECT_EQ(monthly.accept().day, 31);
    // Switching it to Once in February lowers the date to one that exists.
    monthly.chooseType(ScheduleType::Once);
    EXPECT_EQ(monthly.dateText(), "29");
    monthly.chooseType(ScheduleType::Monthly);
    EXPECT_EQ(monthly.dateMaximum(), 31);

    // A Once schedule opens with its month's range; a month outside 1-12 is forced in.
    ScheduleForm once("n", scheduled(ScheduleType::Once, 31, 4, 9, 0), someTime);
    EXPECT_EQ(once.dateText(), "30");
    ScheduleForm forced("n", scheduled(ScheduleType::Once, 10, 14, 9, 0), someTime);
    EXPECT_EQ(forced.month(), 12);
}

TEST(ScheduleForm, TheTypeEnablesItsFields)
{
    ScheduleForm form("n", scheduled(ScheduleType::Weekly, 0, 0, 9, 0, 0x22), someTime);
    EXPECT_TRUE(form.weekdaysEnabled());
    EXPECT_FALSE(form.dateEnabled());
    EXPECT_FALSE(form.monthEnabled());
    form.chooseType(ScheduleType::Once);
    EXPECT_FALSE(form.weekdaysEnabled());
    EXPECT_TRUE(form.dateEnabled());
    EXPECT_TRUE(form.monthEnabled());
    form.chooseType(ScheduleType::Monthly);
    EXPECT_FALSE(form.weekdaysEnabled());
    EXPECT_TRUE(form.dateEnabled());
    EXPECT_FALSE(form.monthEnabled());
}

TEST(ScheduleForm, NeverScheduledOpensAsOnceTodayNow)
{
    Schedule never = Schedule::fromText("-");
    never.weekdays = 0x7F;
    const ScheduleForm form("a, b", never, LocalZone::seconds(2024, 7, 4, 15, 7, 30));
    EXPECT_EQ(form.names(), "a, b");
    EXPECT_EQ(form.type(), ScheduleType::Once);
    EXPECT_EQ(form.hourText(), "03");
    EXPECT_TRUE(form.pm());
    EXPECT_EQ(form.minuteText(), "07");
    EXPECT_EQ(form.month(), 7);
    EXPECT_EQ(form.dateText(), "04");
    for (int weekday = 0; weekday < 7; ++weekday) {
        EXPECT_FALSE(form.weekdayChecked(weekday));
    }
    const Schedule result = form.accept();
    EXPECT_EQ(result.format(), "O 000 04 07 15 07 000000000000");
}

TEST(ScheduleForm, OkRebuildsTheScheduleFromTheFields)
{
    Schedule weekly = scheduled(ScheduleType::Weekly, 3, 6, 9, 45, 0x1FF);
    ScheduleForm form("n", weekly, someTime);
    EXPECT_TRUE(form.weekdayChecked(0));
    form.setWeekdayChecked(0, false);
    form.setWeekdayChecked(3, false);
    form.setWeekdayChecked(9, true);
    form.setMinuteText("");
    form.setDateText("");
    form.setHourText("");
    const Schedule result = form.accept();
    EXPECT_EQ(result.type, ScheduleType::Weekly);
    EXPECT_EQ(result.weekdays, 0x7F & ~0x09);
    // An empty Min reads as 0; an empty Date or Hour keeps the old value.
    EXPECT_EQ(result.minute, 0);
    EXPECT_EQ(result.day, 3);
    EXPECT_EQ(result.hour, 9);
    EXPECT_EQ(result.month, 6);
    EXPECT_EQ(result.lastSent, 0);

    EXPECT_EQ(ScheduleForm::joinNames({"One", "Two", "Three"}), "One, Two, Three");
    EXPECT_EQ(ScheduleForm::joinNames({}), "");
}

} // namespace
