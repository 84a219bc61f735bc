#include "addressing/AddRecipientForm.h"

#include "ScopedRegistry.h"
#include "directories/SimpleAddressBook.h"
#include "settings/SettingsKey.h"
#include "text/StringTable.h"

#include <gtest/gtest.h>

namespace {

using Fields = AddRecipientForm::Fields;
using Overwrite = AddRecipientForm::Overwrite;
using Stored = AddRecipientForm::Stored;

struct AcceptCase
{
    const char* label;
    AddressType type;
    const char* number;
    const char* pin;
    int messageId;
    const char* address;
};

class AcceptTest : public testing::TestWithParam<AcceptCase>
{ };

TEST_P(AcceptTest, OkChecksThePanelAndFormatsTheAddress)
{
    const AcceptCase& c = GetParam();
    AddRecipientForm form = AddRecipientForm::forNew(false);
    form.setFields({.type = c.type, .number = c.number, .pin = c.pin});
    const AddRecipientForm::Accepted accepted = form.accept();
    EXPECT_EQ(accepted.messageId, c.messageId);
    EXPECT_EQ(accepted.address, c.address);
    EXPECT_EQ(accepted.name, c.messageId == 0 ? "NoName" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Panels, AcceptTest,
    testing::Values(
        AcceptCase {"IxoProviderKeptAsTyped", AddressType::Ixo, "MyPaging", "0042", 0,
                    "MyPaging/42"},
        AcceptCase {"IxoNoCompany", AddressType::Ixo, "", "42", StringId::NoPagingCompany, ""},
        AcceptCase {"IxoNoPin", AddressType::Ixo, "MyPaging", "", StringId::NoPin, ""},
        AcceptCase {"IxoPinNotANumber", AddressType::Ixo, "MyPaging", "12a", StringId::NoPin, ""},
        AcceptCase {"IxoPinTooLarge", AddressType::Ixo, "555", "99999999999", StringId::NoPin, ""},
        AcceptCase {"Snpp", AddressType::Snpp, "pager.example.com", "7", 0, "pager.example.com!7"},
        AcceptCase {"SnppNoHost", AddressType::Snpp, "", "7", StringId::NoPagingCompany, ""},
        AcceptCase {"Analog", AddressType::Analog, "555-1234", "", 0, "555-1234"}),
    [](const testing::TestParamInfo<AcceptCase>& test) { return test.param.label; });

TEST(AddRecipientFormRules, TheNameIsTypedOnlyWhileTheBoxIsTicked)
{
    AddRecipientForm form = AddRecipientForm::forNew(false);
    EXPECT_EQ(form.caption(), "Add Recipient");
    EXPECT_FALSE(form.nameEnabled());
    form.setFields({.name = "Pat", .addToBook = false, .number = "5", .pin = "1"});
    EXPECT_EQ(form.fields().name, "NoName");
    form.setFields({.name = "Pat", .addToBook = true, .number = "5", .pin = "1"});
    EXPECT_TRUE(form.nameEnabled());
    EXPECT_EQ(form.accept().name, "Pat");
    // The name is stored as the recipient list will hold it: without trailing blanks.
    form.setFields({.name = "Pat  ", .addToBook = true, .number = "5", .pin = "1"});
    EXPECT_EQ(form.accept().name, "Pat");
    for (const char* name : {"", "   "}) {
        form.setFields({.name = name, .addToBook = true, .number = "5", .pin = "1"});
        EXPECT_EQ(form.accept().messageId, StringId::NoEntryName) << '"' << name << '"';
    }
    form.setAddToBook(false);
    EXPECT_EQ(form.fields().name, "NoName");

    AddRecipientForm disabled = AddRecipientForm::forNew(true);
    disabled.setAddToBook(true);
    EXPECT_FALSE(disabled.fields().addToBook);

    PagerAddress address {AddressType::Snpp, "pager.example.com", 7, {}};
    AddRecipientForm edit = AddRecipientForm::forEdit(address);
    EXPECT_EQ(edit.caption(), "Edit Address Book Entry");
    EXPECT_FALSE(edit.boxVisible());
    EXPECT_FALSE(edit.nameEnabled());
    EXPECT_EQ(edit.accept().address, "pager.example.com!7");
}

TEST(AddRecipientFormRules, AKnownNameIsOverwrittenOnlyOnYes)
{
    ScopedRegistry registry;
    SettingsKey paths(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths");
    ASSERT_TRUE(paths.setString("home", registry.dir().path()));
    SimpleAddressBook book;
    ASSERT_TRUE(book.open());

    int messageId = -1;
    int asked = 0;
    const auto answer = [&asked](Overwrite given) {
        return [&asked, given] {
            ++asked;
            return given;
        };
    };
    EXPECT_EQ(
        AddRecipientForm::store(book, {0, "Pat", "MyPaging/1"}, answer(Overwrite::Yes), messageId),
        Stored::Added);
    EXPECT_EQ(asked, 0);
    const struct
    {
        Overwrite given;
        Stored result;
        const char* stored;
    } cases[] = {{Overwrite::No, Stored::BackToDialog, "MyPaging/1"},
                 {Overwrite::Cancel, Stored::KeptExisting, "MyPaging/1"},
                 {Overwrite::Yes, Stored::Replaced, "MyPaging/2"}};
    for (const auto& c : cases) {
        EXPECT_EQ(
            AddRecipientForm::store(book, {0, "Pat", "MyPaging/2"}, answer(c.given), messageId),
            c.result);
        std::string info;
        ASSERT_TRUE(book.getPagerInfo("Pat", info));
        EXPECT_EQ(info, c.stored);
        EXPECT_EQ(messageId, 0);
    }
    EXPECT_EQ(asked, 3);
}

} // namespace
