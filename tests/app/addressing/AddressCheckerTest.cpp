#include "addressing/AddressChecker.h"

#include "RecordingPrompt.h"
#include "ScopedRegistry.h"
#include "addressing/AddressGrammar.h"
#include "directories/ProviderDatabase.h"
#include "directories/SimpleAddressBook.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

namespace {

// A provider database and a simple address book in the test's folder.
class AddressCheckTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SettingsKey paths(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths");
        ASSERT_TRUE(paths.setString("home", registry.dir().path()));
        ASSERT_TRUE(providers.open());
        ASSERT_TRUE(providers.add("Acme Paging", "555-0100"));
        ASSERT_TRUE(book.open());
        ASSERT_TRUE(book.add("Pat", "Acme Paging/12"));
        ASSERT_TRUE(book.add("Lee", "host.example!7"));
        ASSERT_TRUE(book.add("Broken", "555/0"));
        ASSERT_TRUE(book.add("Touch", "555-1234"));
        ASSERT_TRUE(book.add("Nothing", ""));
    }

    ScopedRegistry registry;
    ProviderDatabase providers;
    SimpleAddressBook book;
    RecordingPrompt prompt;
};

struct CheckCase
{
    const char* label;
    const char* text;
    AddressCheck kind;
    const char* canonical; // the parsed address, "" when none
};

class QuietCheck : public AddressCheckTest, public testing::WithParamInterface<CheckCase>
{ };

TEST_P(QuietCheck, AcceptsAndReportsTheKind)
{
    AddressChecker checker(&providers, &book, &prompt);
    AddressCheck kind = AddressCheck::CheckNone;
    EXPECT_TRUE(checker.checkAddress(true, GetParam().text, kind));
    EXPECT_EQ(kind, GetParam().kind);
    if (*GetParam().canonical) {
        EXPECT_EQ(AddressGrammar::formatAddress(checker.address()), GetParam().canonical);
    }
    EXPECT_TRUE(prompt.ofKind("question").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, QuietCheck,
    testing::Values(CheckCase {"ixo", "555-1234/0042", AddressCheck::CheckOk, "555-1234/42"},
                    CheckCase {"provider", "acme paging/3", AddressCheck::CheckOk, "555-0100/3"},
                    CheckCase {"snpp", "host!0", AddressCheck::CheckOk, "host!0"},
                    CheckCase {"entryIxo", "pat", AddressCheck::CheckOk, "555-0100/12"},
                    CheckCase {"entrySnpp", "Lee", AddressCheck::CheckOk, "host.example!7"},
                    CheckCase {"malformed", "555/0", AddressCheck::CheckMalformed, ""},
                    CheckCase {"entryMalformed", "Broken", AddressCheck::CheckMalformed, ""},
                    CheckCase {"unknownProvider", "Nobody Inc/3", AddressCheck::CheckMalformed, ""},
                    CheckCase {"notInBook", "Nobody", AddressCheck::CheckNotInAddressBook, ""},
                    CheckCase {"entryWithoutPager", "Nothing", AddressCheck::CheckNotInAddressBook,
                               ""},
                    CheckCase {"analog", "555-1234", AddressCheck::CheckNoProtocol, "555-1234"},
                    CheckCase {"entryAnalog", "Touch", AddressCheck::CheckNoProtocol, "555-1234"},
                    CheckCase {"empty", "", AddressCheck::CheckNoProtocol, ""}),
    [](const auto& p) { return p.param.label; });

struct AskCase
{
    const char* label;
    const char* text;
    bool answer;
    const char* question;
    const char* caption;
};

class AskingCheck : public AddressCheckTest, public testing::WithParamInterface<AskCase>
{ };

TEST_P(AskingCheck, DoubtfulCasesAskAndTheAnswerDecides)
{
    prompt.answers.push_back(GetParam().answer);
    AddressChecker checker(&providers, &book, &prompt);
    AddressCheck kind = AddressCheck::CheckNone;
    EXPECT_EQ(checker.checkAddress(false, GetParam().text, kind), GetParam().answer);
    const auto asked = prompt.ofKind("question");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, GetParam().question);
    EXPECT_EQ(asked[0].caption, GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Questions, AskingCheck,
    testing::Values(
        AskCase {"notFoundYes", "Nobody", true,
                 "The pager address you entered seems to\rbe a address book entry but is not "
                 "found\rin the address book or does not contain\rvalid address",
                 "Address Not Found"},
        AskCase {"malformedNo", "555/0", false,
                 "The pager address you entered seems to be malformed\rInvalid Address: bad pin "
                 "number (0)\rDo you want to enter it anyway?",
                 "Bad Address"},
        AskCase {"noProtocolNo", "555-1234", false,
                 "The protocol required by this \raddress is not available. \rDo you want to "
                 "enter it anyway?",
                 "Protocol Not Found"}),
    [](const auto& p) { return p.param.label; });

TEST_F(AddressCheckTest, AGoodAddressAsksNothing)
{
    AddressChecker checker(&providers, &book, &prompt);
    AddressCheck kind = AddressCheck::CheckNone;
    EXPECT_TRUE(checker.checkAddress(false, "Pat", kind));
    EXPECT_EQ(kind, AddressCheck::CheckOk);
    EXPECT_TRUE(prompt.ofKind("question").empty());
}

TEST_F(AddressCheckTest, ABookFailureLeavesTheAddressErrorAlone)
{
    AddressChecker checker(&providers, &book, &prompt);
    AddressCheck kind = AddressCheck::CheckNone;
    ASSERT_TRUE(checker.checkAddress(true, "555/0", kind));
    const std::int32_t beforeCode = checker.lastError();
    const std::string beforeText = checker.lastErrorText();
    ASSERT_TRUE(checker.checkAddress(true, "Nobody", kind));
    EXPECT_EQ(kind, AddressCheck::CheckNotInAddressBook);
    EXPECT_EQ(checker.lastError(), beforeCode);
    EXPECT_EQ(checker.lastErrorText(), beforeText);
}

TEST_F(AddressCheckTest, WithoutABookANameIsNotFound)
{
    AddressChecker checker(&providers, nullptr, nullptr);
    AddressCheck kind = AddressCheck::CheckNone;
    EXPECT_TRUE(checker.checkAddress(false, "Pat", kind));
    EXPECT_EQ(kind, AddressCheck::CheckNotInAddressBook);
}

TEST(AddressCheck, KindNames)
{
    EXPECT_EQ(addressCheckName(AddressCheck::CheckNone), "CheckNone");
    EXPECT_EQ(addressCheckName(AddressCheck::CheckNoProtocol), "CheckNoProtocol");
    EXPECT_EQ(static_cast<int>(AddressCheck::CheckNotInAddressBook), 3);
}

} // namespace
