#include "directories/AddressBookForm.h"

#include "DirectoryTestSupport.h"
#include "RecordingPrompt.h"
#include "directories/MapiAddressBook.h"
#include "directories/SimpleAddressBook.h"
#include "text/StringTable.h"

#include <gtest/gtest.h>

namespace {

using Entry = AddressBookForm::Entry;
using Mode = AddressBookForm::Mode;
using Overwrite = AddressBookForm::Overwrite;
using Result = AddressBookForm::Stored::Result;

// A simple address book in a private home with two entries.
struct BookFixture : testing::Test
{
    void SetUp() override
    {
        setPath("home", registry.dir().path());
        prompt->choices.push_back({LocateChoice::Action::Create, {}});
        ASSERT_TRUE(book.open());
        ASSERT_TRUE(book.add("Ann", "Acme/1"));
        ASSERT_TRUE(book.add("Bob", "host!2"));
    }

    std::string infoOf(const std::string& name)
    {
        std::string info;
        return book.getPagerInfo(name, info) ? info : "(none)";
    }

    ScopedRegistry registry;
    std::shared_ptr<RecordingPrompt> prompt = std::make_shared<RecordingPrompt>();
    SimpleAddressBook book {prompt};
    AddressBookForm form {&book, Mode::Managing};
};

TEST_F(BookFixture, FillListsEveryEntry)
{
    std::vector<Entry> rows;
    std::string error;
    ASSERT_TRUE(form.fill(rows, error)) << error;
    EXPECT_EQ(rows, (std::vector<Entry> {{"Ann", "Acme/1"}, {"Bob", "host!2"}}));
}

TEST_F(BookFixture, AddingAnExistingNameAsksAndFollowsTheAnswer)
{
    std::vector<std::string> asked;
    const auto answer = [&](Overwrite choice) {
        return [&asked, choice](const std::string& name) {
            asked.push_back(name);
            return choice;
        };
    };
    EXPECT_EQ(form.add({"Ann  ", "Acme/9"}, answer(Overwrite::No)).result, Result::BackToDialog);
    EXPECT_EQ(form.add({"Ann", "Acme/9"}, answer(Overwrite::Cancel)).result, Result::Cancelled);
    EXPECT_EQ(infoOf("Ann"), "Acme/1");
    EXPECT_EQ(form.add({"ann", "Acme/9"}, answer(Overwrite::Yes)).result, Result::Done);
    EXPECT_EQ(asked, (std::vector<std::string> {"Ann", "Ann", "ann"}));
    EXPECT_EQ(infoOf("Ann"), "Acme/9");
    EXPECT_EQ(infoOf("Bob"), "host!2");

    EXPECT_EQ(form.add({"Cy", "host!3"}, answer(Overwrite::Cancel)).result, Result::Done);
    EXPECT_EQ(asked.size(), 3U);
    EXPECT_EQ(infoOf("Cy"), "host!3");
}

TEST_F(BookFixture, FailuresCarryTheirMessages)
{
    // A name with ";" cannot be stored (135); changing an entry that is not there fails (147).
    const auto added = form.add({"A;B", "x!1"}, [](const std::string&) { return Overwrite::Yes; });
    EXPECT_EQ(added.result, Result::Failed);
    EXPECT_EQ(added.messageId, 135);
    const auto changed = form.change({"Nobody", "x!1"});
    EXPECT_EQ(changed.result, Result::Failed);
    EXPECT_EQ(changed.messageId, 147);
    std::string error;
    EXPECT_FALSE(form.remove("Nobody", error));
    EXPECT_TRUE(form.remove("Bob", error)) << error;
    EXPECT_EQ(infoOf("Bob"), "(none)");
}

TEST(AddressBookForm, SelectTakesNamesWithPagerInformationOnly)
{
    const auto selection
        = AddressBookForm::select({{"Ann", "Acme/1"}, {"Nobody", "  "}, {"Bob", "host!2"}});
    EXPECT_EQ(selection.names, "Ann;Bob;");
    EXPECT_EQ(selection.refused, (std::vector<std::string> {"Nobody"}));
    EXPECT_EQ(AddressBookForm::splitNames(selection.names),
              (std::vector<std::string> {"Ann", "Bob"}));
    EXPECT_TRUE(AddressBookForm::select({{"Nobody", ""}}).names.empty());
}

TEST(AddressBookForm, ModesAndBooksDecideTheTexts)
{
    ScopedRegistry registry;
    MapiAddressBook mapi(std::make_shared<RecordingPrompt>());
    (void)mapi.locate();
    (void)mapi.open();
    const AddressBookForm selecting(&mapi, Mode::Selecting);
    EXPECT_EQ(selecting.caption(), "Address Book - selecting recipients");
    EXPECT_EQ(selecting.closeText(), "&Cancel");
    EXPECT_FALSE(selecting.editable());
    EXPECT_FALSE(selecting.selectable());
    EXPECT_EQ(selecting.note(), "Note: Address book is readonly or disabled");
    const AddressBookForm none(nullptr, Mode::Managing);
    EXPECT_EQ(none.caption(), "Address Book");
    EXPECT_EQ(none.closeText(), "&Close");
    EXPECT_FALSE(none.selectVisible());
    EXPECT_FALSE(none.editable());
}

TEST(AddressBookForm, AReadOnlyBookCanBeChosenFromButNotEdited)
{
    ScopedRegistry registry;
    setPath("home", registry.dir().path());
    const std::string file = registry.dir().file("other.mdb");
    {
        auto creating = std::make_shared<RecordingPrompt>();
        creating->choices.push_back({LocateChoice::Action::Create, {}});
        SimpleAddressBook writer(creating);
        ASSERT_TRUE(writer.setPath(file));
        ASSERT_TRUE(writer.open());
        ASSERT_TRUE(writer.add("Ann", "Acme/1"));
    }
    SimpleAddressBook book(std::make_shared<RecordingPrompt>());
    ASSERT_TRUE(book.setPath("=" + file));
    ASSERT_TRUE(book.open());
    const AddressBookForm form(&book, Mode::Selecting);
    EXPECT_FALSE(form.editable());
    EXPECT_TRUE(form.selectable());
    EXPECT_EQ(form.note(), "Note: Address book is readonly or disabled");
    std::vector<Entry> rows;
    std::string error;
    ASSERT_TRUE(form.fill(rows, error)) << error;
    EXPECT_EQ(rows.size(), 1U);
}

} // namespace
