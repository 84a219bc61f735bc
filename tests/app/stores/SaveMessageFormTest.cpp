// The rules of the "Save Message" dialog on a real store file: the names it lists, a new name,
// an existing name replaced only on yes, and lengths a record cannot hold refused with their
// excess.
#include "stores/SaveMessageForm.h"

#include "SavedMessagePrinter.h"
#include "TempDir.h"
#include "stores/SavedMessageLine.h"
#include "stores/SavedMessageStore.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

class SaveForm : public testing::Test
{
protected:
    SavedMessage at(int index) const
    {
        SavedMessage record;
        EXPECT_TRUE(store.getAt(index, record)) << SavedMessageStore::lastErrorText();
        return record;
    }

    TempDir dir;
    SavedMessageStore store {dir.file("canMsg.dat")};
};

TEST_F(SaveForm, ListsEveryNameSortedWithoutRegardToCase)
{
    EXPECT_TRUE(SaveMessageForm(store, "r", "m").names().empty());
    for (const char* name : {"delta", "Bravo", "alpha", "charlie"}) {
        ASSERT_TRUE(store.add(name, "", "r", "m"));
    }
    // Past the 100 that listing looks at, a record is still a name the user may pick.
    std::string bytes = dir.read("canMsg.dat");
    for (int i = 0; i < 100; ++i) {
        bytes += "n" + std::to_string(i) + "\x05-\x05r\x05m\r\n";
    }
    bytes += "Zulu\x05-\x05r\x05m\r\n";
    dir.write("canMsg.dat", bytes);
    const std::vector<std::string> names = SaveMessageForm(store, "r", "m").names();
    ASSERT_EQ(names.size(), 105U);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 4),
              (std::vector<std::string> {"alpha", "Bravo", "charlie", "delta"}));
    EXPECT_EQ(names.back(), "Zulu");
}

TEST_F(SaveForm, AnEmptyNameSavesNothingAndANewNameAppendsUnscheduled)
{
    SaveMessageForm form(store, "5551234/77", "Disk full");
    EXPECT_EQ(form.submit(""), SaveMessageForm::Step::StayOpen);
    EXPECT_EQ(store.modificationTime(), -1);

    ASSERT_TRUE(store.add("first", "W 002 00 00 09 05 000000000000", "a/1", "x"));
    EXPECT_EQ(form.submit("Disk alarm"), SaveMessageForm::Step::Saved) << form.errorText();
    EXPECT_EQ(at(1), (SavedMessage {"Disk alarm", "-", "5551234/77", "Disk full"}));
    EXPECT_EQ(dir.read("canMsg.dat").substr(dir.read("canMsg.dat").find("Disk alarm")),
              "Disk alarm\x05-\x05"
              "5551234/77\x05"
              "Disk full\r\n");
}

TEST_F(SaveForm, AnExistingNameIsReplacedOnlyOnYesKeepingItsSchedule)
{
    const std::string weekly = "W 002 00 00 09 05 001700000000";
    ASSERT_TRUE(store.add("before", "", "b/1", "b"));
    ASSERT_TRUE(store.add("Disk alarm", weekly, "old/1", "old text"));
    ASSERT_TRUE(store.add("after", "", "c/1", "c"));
    const std::string before = dir.read("canMsg.dat");

    SaveMessageForm form(store, "new/2", "new text");
    // Asking changes nothing (the user may say no); the same name in other letters is new.
    EXPECT_EQ(form.submit("Disk alarm"), SaveMessageForm::Step::AskReplace);
    EXPECT_EQ(dir.read("canMsg.dat"), before);

    EXPECT_EQ(form.replace("Disk alarm"), SaveMessageForm::Step::Saved) << form.errorText();
    EXPECT_EQ(at(0), (SavedMessage {"before", "-", "b/1", "b"}));
    EXPECT_EQ(at(1), (SavedMessage {"Disk alarm", weekly, "new/2", "new text"}));
    EXPECT_EQ(at(2), (SavedMessage {"after", "-", "c/1", "c"}));

    // Gone between the question and the answer: nothing is written anywhere.
    ASSERT_TRUE(store.removeAt(1));
    const std::string shrunk = dir.read("canMsg.dat");
    EXPECT_EQ(form.replace("Disk alarm"), SaveMessageForm::Step::Refused);
    EXPECT_NE(form.errorText().find("no longer exists"), std::string::npos) << form.errorText();
    EXPECT_EQ(dir.read("canMsg.dat"), shrunk);
}

struct TooLong
{
    const char* label;
    std::size_t recipients;
    std::size_t message;
    const char* which; // what the text names
    std::size_t excess; // by how much, as the text says it
};

// Names the case in test listings.
void PrintTo(const TooLong& c, std::ostream* out)
{
    *out << c.label;
}

class SaveFormLimits : public SaveForm, public testing::WithParamInterface<TooLong>
{ };

TEST_P(SaveFormLimits, AreRefusedSayingWhichAndByHowMuchAndNothingIsCut)
{
    const TooLong& c = GetParam();
    ASSERT_TRUE(store.add("Saved", "", "k/1", "k"));
    const std::string before = dir.read("canMsg.dat");
    // "Pager" + "-" + three delimiters leave 253 - 9 = 244 for recipients and message.
    SaveMessageForm form(store, std::string(c.recipients, 'r'), std::string(c.message, 'm'));
    for (const bool replacing : {false, true}) {
        const SaveMessageForm::Step step = replacing ? form.replace("Saved") : form.submit("Pager");
        EXPECT_EQ(step, SaveMessageForm::Step::Refused);
        const std::string& text = form.errorText();
        EXPECT_NE(text.find(c.which), std::string::npos) << text;
        EXPECT_NE(text.find(", " + std::to_string(c.excess) + " character"), std::string::npos)
            << text;
        EXPECT_EQ(dir.read("canMsg.dat"), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, SaveFormLimits,
    testing::Values(TooLong {"recipients", 250, 0, "The recipient list is too long", 6},
                    TooLong {"message", 200, 50, "The message is too long", 6},
                    TooLong {"oneOver", 144, 101, "The message is too long", 1}),
    [](const testing::TestParamInfo<TooLong>& param) { return std::string(param.param.label); });

TEST_F(SaveForm, WhatFitsExactlyIsSavedWhole)
{
    // "Pager" leaves 244 characters for the two.
    SaveMessageForm form(store, std::string(144, 'r'), std::string(100, 'm'));
    EXPECT_EQ(form.limitProblem("Pager"), "");
    EXPECT_EQ(form.submit("Pager"), SaveMessageForm::Step::Saved) << form.errorText();
    EXPECT_EQ(at(0).message, std::string(100, 'm'));
    EXPECT_EQ(SavedMessageLine::format(at(0)).size(), SavedMessageLine::maxLineLength + 2);
}

TEST_F(SaveForm, ABadFieldIsRefusedWithTheStoresReason)
{
    SaveMessageForm form(store, "a/1", "two\r\nlines");
    EXPECT_EQ(form.submit("Pager"), SaveMessageForm::Step::Refused);
    EXPECT_NE(form.errorText().find("the message holds a line break"), std::string::npos)
        << form.errorText();
    EXPECT_EQ(store.modificationTime(), -1);
}

} // namespace
