#include "stores/Scheduler.h"

#include "LocalZone.h"
#include "ManualClock.h"
#include "PrivateLog.h"
#include "RecordingSender.h"
#include "stores/SavedMessageStore.h"
#include "stores/ScheduleForm.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace std::chrono_literals;

namespace {

constexpr int monday = 1 << 1, friday = 1 << 5;

std::string weekly(int weekdays, int hour, int minute)
{
    Schedule schedule;
    schedule.type = ScheduleType::Weekly;
    schedule.weekdays = weekdays;
    schedule.hour = hour;
    schedule.minute = minute;
    return schedule.format();
}

std::string dated(ScheduleType type, int month, int day, int hour, int minute,
                  std::int64_t lastSent = 0)
{
    Schedule schedule;
    schedule.type = type;
    schedule.month = month;
    schedule.day = day;
    schedule.hour = hour;
    schedule.minute = minute;
    schedule.lastSent = lastSent;
    return schedule.format();
}

class SchedulerRun : public testing::Test
{
protected:
    void TearDown() override { m_scheduler.reset(); }

    // Starts the scheduler thread on a clock standing at `start`.
    void startAt(Clock::TimePoint start)
    {
        m_clock = std::make_unique<ManualClock>(start);
        m_scheduler = std::make_unique<Scheduler>(m_store, m_sender, *m_clock);
        m_scheduler->start();
        ASSERT_TRUE(m_clock->waitForSleepers(1));
    }
    // Lets the scheduler run `duration` of clock time, a pass every five seconds, and waits
    // until the last pass is over.
    void runFor(std::chrono::milliseconds duration)
    {
        ASSERT_TRUE(m_clock->advanceInSteps(duration, 5s, 1));
        ASSERT_TRUE(m_clock->waitForSleepers(1));
    }
    // Jumps to a minute before `moment` (a pass runs there) and runs two minutes.
    void runAround(Clock::TimePoint moment)
    {
        m_clock->set(moment - 1min);
        ASSERT_TRUE(m_clock->waitForSleepers(1));
        runFor(2min);
    }
    Schedule scheduleOf(int position)
    {
        SavedMessage record;
        EXPECT_TRUE(m_store.getAt(position, record)) << SavedMessageStore::lastErrorText();
        return Schedule::fromText(record.schedule);
    }

    PrivateLog m_log {4};
    const ScopedRegistry& m_registry = m_log.registry();
    SavedMessageStore m_store {m_registry.dir().file("canMsg.dat")};
    RecordingSender m_sender;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<Scheduler> m_scheduler;
};

TEST_F(SchedulerRun, WeeklyMondayAndFridaySendsOnceOnEachOfThoseDays)
{
    ASSERT_TRUE(m_store.add("Weekly", weekly(monday | friday, 9, 5), "555-1234/11;host!7", "Hi"));
    // 2024-01-01 is a Monday.
    startAt(LocalZone::at(2024, 1, 1, 9, 4));
    runFor(3min);
    const auto sends = m_sender.sends();
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].recipients, "555-1234/11;host!7");
    EXPECT_EQ(sends[0].message, "Hi");
    EXPECT_EQ(sends[0].origin, "Sch(Weekly)");
    // Marked in the minute it went, at the time of the pass that sent it.
    const std::int64_t sent = scheduleOf(0).lastSent;
    EXPECT_GE(sent, LocalZone::seconds(2024, 1, 1, 9, 5, 0));
    EXPECT_LE(sent, LocalZone::seconds(2024, 1, 1, 9, 5, 5));

    runAround(LocalZone::at(2024, 1, 2, 9, 5)); // Tuesday
    runAround(LocalZone::at(2024, 1, 4, 9, 5)); // Thursday
    EXPECT_EQ(m_sender.sends().size(), 1u);
    runAround(LocalZone::at(2024, 1, 5, 9, 5)); // Friday
    EXPECT_EQ(m_sender.sends().size(), 2u);
    runAround(LocalZone::at(2024, 1, 8, 9, 5)); // Monday again
    EXPECT_EQ(m_sender.sends().size(), 3u);
}

TEST_F(SchedulerRun, OnceOnTheFirstOfJanuaryAtMidnight)
{
    ASSERT_TRUE(m_store.add("New year", dated(ScheduleType::Once, 1, 1, 0, 0), "r", "m"));
    startAt(LocalZone::at(2023, 12, 31, 23, 59));
    runFor(2min);
    EXPECT_EQ(m_sender.sends().size(), 1u);
}

TEST_F(SchedulerRun, MonthlyOnThe31stSkipsApril)
{
    ASSERT_TRUE(m_store.add("Month end", dated(ScheduleType::Monthly, 0, 31, 8, 0), "r", "m"));
    startAt(LocalZone::at(2024, 3, 31, 7, 59));
    runFor(2min);
    EXPECT_EQ(m_sender.sends().size(), 1u);
    runAround(LocalZone::at(2024, 4, 30, 8, 0));
    runAround(LocalZone::at(2024, 5, 1, 8, 0));
    EXPECT_EQ(m_sender.sends().size(), 1u);
    runAround(LocalZone::at(2024, 5, 31, 8, 0));
    EXPECT_EQ(m_sender.sends().size(), 2u);
}

TEST_F(SchedulerRun, OnceThatFiredIsNotSentOnTheSameDayNextYear)
{
    ASSERT_TRUE(m_store.add("Fourth", dated(ScheduleType::Once, 7, 4, 10, 0), "r", "m"));
    startAt(LocalZone::at(2024, 7, 4, 9, 59));
    runFor(2min);
    EXPECT_EQ(m_sender.sends().size(), 1u);
    runAround(LocalZone::at(2025, 7, 4, 10, 0));
    EXPECT_EQ(m_sender.sends().size(), 1u);
}

TEST_F(SchedulerRun, OnceForAMinuteAlreadyPastWaitsAYear)
{
    ASSERT_TRUE(m_store.add("Late", dated(ScheduleType::Once, 7, 4, 10, 0), "r", "m"));
    startAt(LocalZone::at(2024, 7, 4, 12, 0));
    runFor(1min);
    runAround(LocalZone::at(2024, 7, 5, 10, 0));
    EXPECT_TRUE(m_sender.sends().empty());
    runAround(LocalZone::at(2025, 7, 4, 10, 0));
    EXPECT_EQ(m_sender.sends().size(), 1u);
}

TEST_F(SchedulerRun, EditingAScheduleThatFiredTodayFiresAgain)
{
    ASSERT_TRUE(m_store.add("Edited", weekly(monday, 9, 5), "r", "m"));
    startAt(LocalZone::at(2024, 1, 1, 9, 4));
    runFor(2min);
    ASSERT_EQ(m_sender.sends().size(), 1u);
    runAround(LocalZone::at(2024, 1, 1, 10, 30));
    EXPECT_EQ(m_sender.sends().size(), 1u);

    // The user opens the schedule dialog, sets 10:45 and presses OK.
    SavedMessage record;
    ASSERT_TRUE(m_store.getAt(0, record));
    ScheduleForm form(record.name, Schedule::fromText(record.schedule),
                      LocalZone::seconds(2024, 1, 1, 10, 40));
    form.setHourText("10");
    form.setMinuteText("45");
    ASSERT_TRUE(m_store.replaceAt(0, RecordGuard::named(record.name), form.accept().format(),
                                  std::nullopt, std::nullopt));
    runAround(LocalZone::at(2024, 1, 1, 10, 45));
    EXPECT_EQ(m_sender.sends().size(), 2u);
}

TEST_F(SchedulerRun, TheOriginCarriesTheFirst25CharactersOfTheName)
{
    const std::string name = "0123456789012345678901234567890123456789";
    ASSERT_TRUE(m_store.add(name, weekly(monday, 9, 5), "r", "m"));
    ASSERT_TRUE(m_store.add("Short", weekly(monday, 9, 5), "r", "m"));
    startAt(LocalZone::at(2024, 1, 1, 9, 4, 58));
    runFor(10s);
    EXPECT_EQ(m_sender.origins(),
              (std::vector<std::string> {"Sch(0123456789012345678901234)", "Sch(Short)"}));
    EXPECT_EQ(Scheduler::originTag(""), "Sch()");
}

TEST_F(SchedulerRun, AFailedMarkSkipsTheSendUntilAWriteSucceeds)
{
    ASSERT_TRUE(m_store.add("Blocked", weekly(monday, 9, 5), "r", "m"));
    const std::string before = m_registry.dir().read("canMsg.dat");
    // A folder where the temporary file must go: no rewrite can succeed.
    std::filesystem::create_directory(m_registry.dir().file("canMsg.tmp"));
    startAt(LocalZone::at(2024, 1, 1, 9, 4, 58));
    runFor(30s);
    EXPECT_TRUE(m_sender.sends().empty());
    EXPECT_EQ(m_registry.dir().read("canMsg.dat"), before);
    EXPECT_NE(m_registry.dir().read("ndlog.dat").find("Sch(Blocked):Cannot mark saved message"),
              std::string::npos)
        << m_registry.dir().read("ndlog.dat");

    std::filesystem::remove(m_registry.dir().file("canMsg.tmp"));
    runFor(10s);
    EXPECT_EQ(m_sender.sends().size(), 1u);
    runFor(30s);
    EXPECT_EQ(m_sender.sends().size(), 1u);
}

TEST_F(SchedulerRun, OnePassUsesOneTimeForAllMessages)
{
    ASSERT_TRUE(m_store.add("First", weekly(monday, 9, 5), "r1", "m1"));
    ASSERT_TRUE(m_store.add("Second", weekly(monday, 9, 5), "r2", "m2"));
    // The first send takes three minutes.
    m_sender.setHook([this](const RecordingSender::Send& send) {
        if (send.origin == "Sch(First)") {
            m_clock->advance(3min);
        }
    });
    startAt(LocalZone::at(2024, 1, 1, 9, 4, 58));
    runFor(5s);
    EXPECT_EQ(m_sender.origins(), (std::vector<std::string> {"Sch(First)", "Sch(Second)"}));
    // Each mark holds the time it was written.
    EXPECT_LT(scheduleOf(0).lastSent, LocalZone::seconds(2024, 1, 1, 9, 6));
    EXPECT_GE(scheduleOf(1).lastSent, LocalZone::seconds(2024, 1, 1, 9, 8));
}

TEST_F(SchedulerRun, AMessageThatMovedDuringTheSendIsSentOnceInTheNextPass)
{
    ASSERT_TRUE(m_store.add("First", weekly(monday, 9, 5), "r1", "m1"));
    ASSERT_TRUE(m_store.add("Second", weekly(monday, 9, 5), "r2", "m2"));
    // While the first is being sent, the user deletes it: the second moves to position 0.
    m_sender.setHook([this](const RecordingSender::Send& send) {
        if (send.origin == "Sch(First)") {
            EXPECT_TRUE(m_store.removeAt(0, RecordGuard::named("First")));
        }
    });
    startAt(LocalZone::at(2024, 1, 1, 9, 4, 58));
    runFor(5s);
    EXPECT_EQ(m_sender.origins(), (std::vector<std::string> {"Sch(First)"}));
    runFor(30s);
    EXPECT_EQ(m_sender.origins(), (std::vector<std::string> {"Sch(First)", "Sch(Second)"}));
    SavedMessage record;
    ASSERT_TRUE(m_store.getAt(0, record));
    EXPECT_EQ(record.name, "Second");
    EXPECT_EQ(record.recipients, "r2");
    EXPECT_NE(Schedule::fromText(record.schedule).lastSent, 0);
}

TEST_F(SchedulerRun, AScheduleEditedDuringThePassIsNotOverwritten)
{
    ASSERT_TRUE(m_store.add("First", weekly(monday, 9, 5), "r1", "m1"));
    ASSERT_TRUE(m_store.add("Second", weekly(monday, 9, 5), "r2", "m2"));
    const std::string edited = weekly(friday, 17, 0);
    m_sender.setHook([&](const RecordingSender::Send& send) {
        if (send.origin == "Sch(First)") {
            EXPECT_TRUE(m_store.replaceAt(1, RecordGuard::named("Second"), edited, std::nullopt,
                                          std::nullopt));
        }
    });
    startAt(LocalZone::at(2024, 1, 1, 9, 4, 58));
    runFor(30s);
    EXPECT_EQ(m_sender.origins(), (std::vector<std::string> {"Sch(First)"}));
    SavedMessage record;
    ASSERT_TRUE(m_store.getAt(1, record));
    EXPECT_EQ(record.schedule, edited);
}

TEST_F(SchedulerRun, MessagesBehindTheHundredthAreNotSent)
{
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(m_store.add("m" + std::to_string(i), "", "r", ""));
    }
    // add() looks at the first 100 names only, so the 101st may even repeat one.
    ASSERT_TRUE(m_store.add("late", weekly(monday, 9, 5), "r", "m"));
    ASSERT_TRUE(m_store.replaceAt(99, weekly(monday, 9, 5), std::nullopt, std::nullopt));
    startAt(LocalZone::at(2024, 1, 1, 9, 4, 58));
    runFor(10s);
    EXPECT_EQ(m_sender.origins(), (std::vector<std::string> {"Sch(m99)"}));
}

TEST_F(SchedulerRun, AMissingStoreIsAQuietPass)
{
    startAt(LocalZone::at(2024, 1, 1, 9, 4, 58));
    runFor(10s);
    EXPECT_TRUE(m_sender.sends().empty());
    EXPECT_EQ(m_scheduler->state(), ThreadState::Running);
    EXPECT_FALSE(std::filesystem::exists(m_store.path()));
}

} // namespace
