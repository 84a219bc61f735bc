// The rules of the "Saved Messages" dialog on a real store file: what a selection shows,
// deleting from the highest row down, "Change" and "Clear" on several rows, a record changed
// under its row, and the timer's look at the file.
#include "stores/SavedMessagesForm.h"

#include "LocalZone.h"
#include "SavedMessagePrinter.h"
#include "TempDir.h"
#include "stores/SavedMessageStore.h"

#include <gtest/gtest.h>

namespace {

using Details = SavedMessagesForm::Details;

class SavedForm : public testing::Test
{
protected:
    // Five messages "m0" to "m4", never scheduled.
    void addFive()
    {
        for (int i = 0; i < 5; ++i) {
            const std::string n = std::to_string(i);
            ASSERT_TRUE(store.add("m" + n, "", "r" + n + "/1", "text " + n));
        }
        form.fill();
    }
    std::vector<std::string> names() const
    {
        std::vector<SavedMessage> records;
        EXPECT_TRUE(store.list(records));
        std::vector<std::string> result;
        for (const SavedMessage& record : records) {
            result.push_back(record.name);
        }
        return result;
    }
    std::string scheduleOf(int index) const
    {
        SavedMessage record;
        EXPECT_TRUE(store.getAt(index, record));
        return record.schedule;
    }

    TempDir dir;
    SavedMessageStore store {dir.file("canMsg.dat")};
    SavedMessagesForm form {store};
};

TEST_F(SavedForm, OneRowShowsItsMessageAndSeveralOrNoneShowNothing)
{
    EXPECT_TRUE(form.fill().empty()); // no file yet
    addFive();
    ASSERT_TRUE(store.replaceAt(3, "W 050 00 00 09 05 000000000000", std::nullopt, std::nullopt));
    EXPECT_EQ(form.rows(), (std::vector<std::string> {"m0", "m1", "m2", "m3", "m4"}));

    const Details never = form.details({1});
    EXPECT_EQ(never.to, "r1/1");
    EXPECT_EQ(never.message, "text 1");
    EXPECT_EQ(never.schedule, "Not scheduled");
    EXPECT_EQ(never.lastSent, "Never");
    EXPECT_EQ(form.details({3}).schedule, "Every Monday, Thursday and Friday at 9:05am");

    for (const std::vector<int>& rows : {std::vector<int> {}, {1, 2}, {0, 4}, {9}}) {
        const Details none = form.details(rows);
        EXPECT_EQ(none.to + none.message + none.schedule + none.lastSent, "");
    }
}

TEST_F(SavedForm, ARowWhoseRecordMovedShowsItsOwnMessageAndAsksForARefill)
{
    addFive();
    SavedMessageStore other(store.path()); // the scheduler's or another program's view
    ASSERT_TRUE(other.removeAt(0));
    bool stale = false;
    const Details shown = form.details({2}, &stale);
    EXPECT_TRUE(stale);
    EXPECT_EQ(shown.to, "r2/1");
    EXPECT_EQ(form.fill(), (std::vector<std::string> {"m1", "m2", "m3", "m4"}));
    EXPECT_EQ(form.details({1}, &stale).to, "r2/1");
    EXPECT_FALSE(stale);
}

TEST_F(SavedForm, DeletingRowsOneAndThreeOfFiveLeavesTheOthers)
{
    addFive();
    const SavedMessagesForm::Outcome outcome = form.remove({1, 3});
    EXPECT_TRUE(outcome.refill);
    EXPECT_EQ(outcome.notice, "");
    EXPECT_EQ(names(), (std::vector<std::string> {"m0", "m2", "m4"}));
    // Rows in any order, or twice, name the same records.
    form.fill();
    EXPECT_EQ(form.remove({2, 0, 2}).notice, "");
    EXPECT_EQ(names(), (std::vector<std::string> {"m2"}));
}

TEST_F(SavedForm, ADeleteUnderAMovedRecordRemovesNoOtherMessage)
{
    addFive();
    // Another view removes m0 after the list was read: row 1 now holds m2, row 3 m4.
    SavedMessageStore other(store.path());
    ASSERT_TRUE(other.removeAt(0));
    const SavedMessagesForm::Outcome outcome = form.remove({1, 3});
    EXPECT_TRUE(outcome.refill);
    EXPECT_NE(outcome.notice.find("\"m1\" was not deleted"), std::string::npos) << outcome.notice;
    EXPECT_NE(outcome.notice.find("\"m3\" was not deleted"), std::string::npos) << outcome.notice;
    EXPECT_EQ(names(), (std::vector<std::string> {"m1", "m2", "m3", "m4"}));
}

TEST_F(SavedForm, ChangeOnThreeRowsWritesTheSameScheduleNeverSentToEach)
{
    addFive();
    ASSERT_TRUE(store.replaceAt(2, "M 000 15 00 08 00 001700000000", std::nullopt, std::nullopt));
    ASSERT_TRUE(store.replaceAt(4, "O 000 04 07 10 30 001700000000", std::nullopt, std::nullopt));

    std::string joined;
    Schedule schedule;
    SavedMessagesForm::Outcome refused;
    EXPECT_FALSE(form.scheduleTarget({}, joined, schedule, refused));
    ASSERT_TRUE(form.scheduleTarget({4, 0, 2}, joined, schedule, refused));
    EXPECT_EQ(joined, "m0, m2, m4");
    EXPECT_EQ(schedule, Schedule {}); // the first selected record's: never scheduled

    Schedule weekly;
    weekly.type = ScheduleType::Weekly;
    weekly.weekdays = 0x22;
    weekly.hour = 17;
    weekly.minute = 45;
    weekly.lastSent = 1700000000;
    const SavedMessagesForm::Outcome outcome = form.applySchedule({0, 2, 4}, weekly);
    EXPECT_EQ(outcome.notice, "");
    for (const int row : {0, 2, 4}) {
        EXPECT_EQ(scheduleOf(row), "W 034 00 00 17 45 000000000000") << row;
    }
    EXPECT_EQ(scheduleOf(1), "-");
    EXPECT_EQ(scheduleOf(3), "-");
    SavedMessage kept;
    ASSERT_TRUE(store.getAt(2, kept));
    EXPECT_EQ(kept, (SavedMessage {"m2", "W 034 00 00 17 45 000000000000", "r2/1", "text 2"}));
}

TEST_F(SavedForm, ClearWritesTheClearedScheduleAndShowsNotScheduledAndNever)
{
    addFive();
    ASSERT_TRUE(store.replaceAt(1, "W 002 00 00 09 05 001700000000", std::nullopt, std::nullopt));
    EXPECT_EQ(form.details({1}).lastSent.size(), 24U);
    EXPECT_EQ(form.clear({1}).notice, "");
    EXPECT_EQ(scheduleOf(1), "- 000 00 00 00 00 000000000000");
    const Details cleared = form.details({1});
    EXPECT_EQ(cleared.schedule, "Not scheduled");
    EXPECT_EQ(cleared.lastSent, "Never");
}

TEST_F(SavedForm, AScheduleChangeUnderAMovedRecordTouchesNoOtherMessage)
{
    addFive();
    SavedMessageStore other(store.path());
    ASSERT_TRUE(other.removeAt(1));
    const std::string before = dir.read("canMsg.dat");

    const SavedMessagesForm::Outcome cleared = form.clear({2});
    EXPECT_TRUE(cleared.refill);
    EXPECT_NE(cleared.notice.find("\"m2\" was not cleared"), std::string::npos) << cleared.notice;
    EXPECT_EQ(dir.read("canMsg.dat"), before);

    // "Change" on a first row that moved does not even open the dialog.
    std::string joined;
    Schedule schedule;
    SavedMessagesForm::Outcome refused;
    EXPECT_FALSE(form.scheduleTarget({3, 4}, joined, schedule, refused));
    EXPECT_TRUE(refused.refill);
    EXPECT_NE(refused.notice.find("\"m3\""), std::string::npos) << refused.notice;

    // Row 0 did not move: its schedule changes, the moved row's does not.
    const SavedMessagesForm::Outcome mixed = form.applySchedule({0, 4}, Schedule::fromText("M"));
    EXPECT_EQ(scheduleOf(0), "M 000 00 00 00 00 000000000000");
    EXPECT_NE(mixed.notice.find("\"m4\" was not changed"), std::string::npos) << mixed.notice;
    EXPECT_EQ(names(), (std::vector<std::string> {"m0", "m2", "m3", "m4"}));
    EXPECT_EQ(scheduleOf(3), "-");
}

TEST_F(SavedForm, TheTimerSeesEveryChangeAlsoOneInTheSecondOfItsLastLook)
{
    const std::int64_t t = LocalZone::seconds(2024, 7, 4, 9, 5, 0);
    EXPECT_TRUE(form.storeChanged(-1, t)); // the first look always shows
    EXPECT_FALSE(form.storeChanged(-1, t + 5));
    EXPECT_TRUE(form.storeChanged(t + 7, t + 10)); // written
    EXPECT_FALSE(form.storeChanged(t + 7, t + 15));
    // Written in the very second of a look: the next look cannot tell a second write in that
    // second from none, so it shows again, once.
    EXPECT_TRUE(form.storeChanged(t + 20, t + 20));
    EXPECT_TRUE(form.storeChanged(t + 20, t + 25));
    EXPECT_FALSE(form.storeChanged(t + 20, t + 30));
    // A file put back with an older time is a change as well.
    EXPECT_TRUE(form.storeChanged(t, t + 35));
}

} // namespace
