#include "directories/AddressBookPropertiesForm.h"

#include "DirectoryTestSupport.h"
#include "RecordingPrompt.h"
#include "directories/AddressBookSelection.h"
#include "directories/InternetAddressBook.h"
#include "directories/SimpleAddressBook.h"

#include <gtest/gtest.h>

namespace {

using Form = AddressBookPropertiesForm;

struct PropertiesFixture : testing::Test
{
    void SetUp() override { setPath("home", registry.dir().path()); }

    ScopedRegistry registry;
    std::shared_ptr<RecordingPrompt> prompt = std::make_shared<RecordingPrompt>();
    AddressBookSelection books {prompt};
};

TEST_F(PropertiesFixture, ADataSourceIsShownWithoutItsMarkAndStoredWithIt)
{
    ASSERT_TRUE(books.simple().setPath("=file:/tmp/x.mdb?mode=ro"));
    const auto shown = Form::simplePath(books);
    EXPECT_EQ(shown.shown, "file:/tmp/x.mdb?mode=ro");
    EXPECT_TRUE(shown.dataSource);
    EXPECT_EQ(Form::storedSimplePath(shown.shown, true), "=file:/tmp/x.mdb?mode=ro");
    EXPECT_EQ(Form::storedSimplePath("/a/b.mdb", false), "/a/b.mdb");
}

TEST_F(PropertiesFixture, SimpleOkStoresThePathAndReopensTheBookThere)
{
    const std::string first = registry.dir().file("first.mdb");
    const std::string second = registry.dir().file("second.mdb");
    ASSERT_TRUE(books.simple().setPath(first));
    prompt->choices.push_back({LocateChoice::Action::Create, {}});
    ASSERT_TRUE(books.select(0));
    ASSERT_TRUE(books.current()->open());
    ASSERT_TRUE(books.current()->add("Ann", "Acme/1"));

    prompt->choices.push_back({LocateChoice::Action::Create, {}});
    std::string error;
    ASSERT_TRUE(Form::applySimple(books, second, error)) << error;
    EXPECT_EQ(readString(pathsKey, "simpleAdb"), second);
    ASSERT_TRUE(books.current()->isOpen());
    EXPECT_EQ(books.current()->location(), second);
    std::string info;
    EXPECT_FALSE(books.current()->getPagerInfo("Ann", info));
    EXPECT_FALSE(Form::applySimple(books, "", error));
    EXPECT_FALSE(error.empty());
}

TEST_F(PropertiesFixture, InternetOkMovesTheBookToTheFolder)
{
    SettingsKey adb(RootKey::CurrentUser, adbKey);
    ASSERT_TRUE(adb.setNumber("adbType", 2));
    ASSERT_TRUE(books.selectFromSettings()->open());
    ASSERT_TRUE(books.current()->add("Ann", "Acme/1"));
    const std::string folder = registry.dir().file("cards");
    EXPECT_NE(Form::internetFolder(books), folder);

    std::string error;
    ASSERT_TRUE(Form::applyInternet(books, folder, error)) << error;
    EXPECT_EQ(readString(adbKey, "internetAdb"), folder);
    EXPECT_EQ(Form::internetFolder(books), folder);
    ASSERT_TRUE(books.current()->isOpen());
    std::string info;
    EXPECT_FALSE(books.current()->getPagerInfo("Ann", info));
    ASSERT_TRUE(books.current()->add("Bob", "host!2"));
    EXPECT_TRUE(books.current()->getPagerInfo("Bob", info));
}

TEST_F(PropertiesFixture, MapiSettingsAreStoredAndTheListHoldsDefault)
{
    EXPECT_EQ(Form::profiles(), (std::vector<std::string> {"Default"}));
    EXPECT_EQ(Form::profileIndex(Form::profiles(), "default"), 0);
    EXPECT_EQ(Form::profileIndex(Form::profiles(), "Work"), 0);
    EXPECT_FALSE(Form::mapiSettings().promptLogin);
    EXPECT_EQ(Form::mapiSettings().profileName, "Default");

    SettingsKey adb(RootKey::CurrentUser, adbKey);
    ASSERT_TRUE(adb.setNumber("adbType", 1));
    (void)books.selectFromSettings();
    std::string error;
    ASSERT_TRUE(Form::applyMapi(books, {true, "Default"}, error)) << error;
    EXPECT_TRUE(Form::mapiSettings().promptLogin);
    // The book was opened again: its load message shown once, and it is disabled.
    EXPECT_TRUE(books.current()->isDisabled());
    EXPECT_EQ(prompt->ofKind("message").size(), 1U);
}

} // namespace
