#include "DirectoryTestSupport.h"
#include "RecordingPrompt.h"
#include "directories/AddressBookSelection.h"
#include "directories/InternetAddressBook.h"
#include "directories/MapiAddressBook.h"
#include "directories/SimpleAddressBook.h"

#include <gtest/gtest.h>

namespace {

struct SelectCase
{
    std::int32_t adbType;
    AddressBookType expected;
};

class SelectionByType : public testing::TestWithParam<SelectCase>
{ };

TEST_P(SelectionByType, AdbTypePicksTheBook)
{
    ScopedRegistry registry;
    setPath("home", registry.dir().file("home"));
    SettingsKey adb(RootKey::CurrentUser, adbKey);
    ASSERT_TRUE(adb.setNumber("adbType", GetParam().adbType));
    AddressBookSelection books(std::make_shared<RecordingPrompt>());
    AddressBook* book = books.selectFromSettings();
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->type(), GetParam().expected);
    EXPECT_EQ(books.current(), book);
}

INSTANTIATE_TEST_SUITE_P(Types, SelectionByType,
                         testing::Values(SelectCase {0, AddressBookType::Simple},
                                         SelectCase {1, AddressBookType::Mapi},
                                         SelectCase {2, AddressBookType::Internet}));

TEST(AddressBookSelection, OtherValuesChangeNothing)
{
    ScopedRegistry registry;
    setPath("home", registry.dir().file("home"));
    AddressBookSelection books(std::make_shared<RecordingPrompt>());
    SettingsKey adb(RootKey::CurrentUser, adbKey);
    ASSERT_TRUE(adb.setNumber("adbType", 3));
    EXPECT_EQ(books.selectFromSettings(), nullptr);
    EXPECT_TRUE(books.select(2));
    EXPECT_FALSE(books.select(-1));
    EXPECT_FALSE(books.select(3));
    EXPECT_EQ(books.selectFromSettings(), &books.internet());
}

TEST(MapiAddressBook, ShowsTheLoadMessageOnceAndIsDisabled)
{
    ScopedRegistry registry;
    auto prompt = std::make_shared<RecordingPrompt>();
    AddressBookSelection books(prompt);
    ASSERT_TRUE(books.select(1));
    MapiAddressBook& mapi = books.mapi();
    EXPECT_FALSE(mapi.isDisabled());
    EXPECT_TRUE(mapi.open());
    ASSERT_EQ(prompt->ofKind("message").size(), 1u);
    EXPECT_EQ(prompt->ofKind("message")[0].text, MapiAddressBook::loadMessage);
    EXPECT_EQ(prompt->ofKind("message")[0].caption, "MAPI Address Book Error");
    EXPECT_TRUE(mapi.isDisabled());
    EXPECT_FALSE(mapi.isOpen());
    EXPECT_FALSE(mapi.isWritable());
    EXPECT_FALSE(mapi.open());
    std::string text;
    EXPECT_FALSE(mapi.getPagerInfo("x", text));
    EXPECT_FALSE(mapi.findLike("x", text));
    EXPECT_FALSE(mapi.add("x", "1/1"));
    EXPECT_EQ(prompt->ofKind("message").size(), 1u);

    // After another book was applied, selecting MAPI again shows the message again.
    ASSERT_TRUE(books.select(0));
    ASSERT_TRUE(books.select(1));
    EXPECT_TRUE(mapi.open());
    EXPECT_EQ(prompt->ofKind("message").size(), 2u);
}

TEST(AddressBook, NameProblemsAreNamed)
{
    EXPECT_EQ(AddressBook::nameProblem("Pat Jones", 127), "");
    EXPECT_NE(AddressBook::nameProblem("Pat;Jones", 127), "");
    EXPECT_NE(AddressBook::nameProblem("Pat=Jones", 127), "");
    EXPECT_NE(AddressBook::nameProblem("", 127), "");
    EXPECT_EQ(AddressBook::nameProblem(std::string(127, 'x'), 127), "");
    EXPECT_NE(AddressBook::nameProblem(std::string(128, 'x'), 127), "");
}

} // namespace
