#include "addressing/RecipientListForm.h"

#include "RecordingPrompt.h"
#include "ScopedRegistry.h"
#include "addressing/GeneralSettings.h"
#include "directories/ProviderDatabase.h"
#include "directories/SimpleAddressBook.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

namespace {

using Item = RecipientListForm::Item;

// The form over a provider database and a simple address book in the test's folder.
class RecipientListFormTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SettingsKey paths(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths");
        ASSERT_TRUE(paths.setString("home", registry.dir().path()));
        ASSERT_TRUE(providers.open());
        ASSERT_TRUE(providers.add("MyPaging", "555-0100"));
        ASSERT_TRUE(book.open());
        ASSERT_TRUE(book.add("Bobby Smith", "MyPaging/12"));
    }

    ScopedRegistry registry;
    ProviderDatabase providers;
    SimpleAddressBook book;
    RecordingPrompt prompt;
    RecipientListForm form {&providers, &book, &prompt};
};

TEST_F(RecipientListFormTest, SameEntryInAnotherCaseOrWithTrailingBlanksIsRefusedSilently)
{
    EXPECT_EQ(form.add("555-0100/12", false), 1);
    EXPECT_EQ(form.add("555-0100/12", false), -1);
    EXPECT_EQ(form.add("555-0100/12  ", false), -1);
    EXPECT_EQ(form.add("Bobby Smith ", false), 2);
    EXPECT_EQ(form.add("BOBBY SMITH", false), -1);
    EXPECT_EQ(form.items(), (std::vector<Item> {{"555-0100/12", 1}, {"Bobby Smith", 1}}));
    EXPECT_TRUE(prompt.ofKind("question").empty());
    // A stored entry is loaded without the test.
    EXPECT_EQ(form.add("bobby smith", true), 3);
}

TEST_F(RecipientListFormTest, TheFlagsDecideWhetherTheCheckAsksOrRuns)
{
    // An address no driver serves: asked about, and "No" refuses it.
    EXPECT_EQ(form.add("555-1234", false), -1);
    ASSERT_EQ(prompt.ofKind("question").size(), 1u);
    EXPECT_EQ(prompt.ofKind("question")[0].caption, "Protocol Not Found");

    form.setFlags({.disableWarning = true});
    EXPECT_EQ(form.add("555-1234", false), 1);
    EXPECT_EQ(form.items().back().picture, static_cast<int>(AddressCheck::CheckNoProtocol));

    form.setFlags({.disableCheck = true});
    EXPECT_EQ(form.add("no such thing", false), 2);
    EXPECT_EQ(form.items().back().picture, 0);
    EXPECT_EQ(prompt.ofKind("question").size(), 1u);
}

TEST_F(RecipientListFormTest, FlagsAreReadFromTheGeneralKey)
{
    SettingsKey general(RootKey::CurrentUser, GeneralSettings::key);
    ASSERT_TRUE(general.write(GeneralSettings::disableAddrCompletion, true));
    ASSERT_TRUE(general.write(GeneralSettings::disableAddrWarning, true));
    form.reloadFlags();
    EXPECT_FALSE(form.flags().disableCheck);
    EXPECT_TRUE(form.flags().disableWarning);
    EXPECT_TRUE(form.flags().disableCompletion);
    EXPECT_EQ(form.complete("bob"), std::nullopt);
}

TEST_F(RecipientListFormTest, CompletionOffersTheAddressBookName)
{
    EXPECT_EQ(form.complete("bob"), "Bobby Smith");
    EXPECT_EQ(form.complete("zed"), std::nullopt);
}

TEST_F(RecipientListFormTest, LabelEditsKeepTheListFreeOfEmptyAndDoubleEntries)
{
    ASSERT_EQ(form.add("555-0100/12", false), 1);
    // A new item left empty, or given a listed text, goes again.
    for (const char* typed : {"", "555-0100/12 "}) {
        const std::size_t row = form.insertNew();
        EXPECT_EQ(form.items()[row].picture, RecipientListForm::typingPicture);
        EXPECT_FALSE(form.endEdit(row, typed)) << typed;
        EXPECT_EQ(form.items().size(), 1u) << typed;
    }
    // An existing item keeps its text when the new one is refused, and takes an accepted one.
    EXPECT_FALSE(form.endEdit(0, "555-1234"));
    EXPECT_EQ(form.items()[0].text, "555-0100/12");
    EXPECT_TRUE(form.endEdit(0, "Bobby Smith"));
    EXPECT_EQ(form.items(), (std::vector<Item> {{"Bobby Smith", 1}}));
}

TEST_F(RecipientListFormTest, RemovingSelectedItemsRemovesEveryOne)
{
    for (const char* entry : {"a", "b", "c", "d", "e"})
        ASSERT_GT(form.add(entry, true), 0);
    form.remove({3, 0, 1, 3});
    EXPECT_EQ(form.items(), (std::vector<Item> {{"c", 0}, {"e", 0}}));
}

TEST_F(RecipientListFormTest, StoredEntriesSplitAtTheFirstEqualsSign)
{
    form.load("555-0100/12;Bobby Smith;;=Meeting = now");
    EXPECT_EQ(form.items(), (std::vector<Item> {{"555-0100/12", 0}, {"Bobby Smith", 0}}));
    EXPECT_EQ(form.message(), "Meeting = now");
    EXPECT_EQ(form.recipientsText(), "555-0100/12;Bobby Smith;");

    form.load("only recipients");
    EXPECT_EQ(form.items(), (std::vector<Item> {{"only recipients", 0}}));
    EXPECT_EQ(form.message(), "");
}

TEST_F(RecipientListFormTest, SendTextsAreCutAtTheirLimits)
{
    const std::string entry(RecipientListForm::maxEntryLength + 20, 'x');
    for (char tail = 'a'; tail < 'f'; ++tail)
        ASSERT_GT(form.add(entry + tail, true), 0);
    EXPECT_EQ(form.items()[0].text.size(), RecipientListForm::maxEntryLength);
    EXPECT_EQ(form.recipientsText().size(), RecipientListForm::maxSendText);
    form.setMessage(std::string(600, 'm'));
    EXPECT_EQ(form.messageText().size(), RecipientListForm::maxSendText);
}

} // namespace
