#include "addressing/AddressGrammar.h"

#include "text/StringTable.h"

#include <gtest/gtest.h>

namespace {

struct SyntaxCase
{
    const char* text;
    bool wellFormed;
    AddressType type;
};

class AddressSyntax : public testing::TestWithParam<SyntaxCase>
{ };

TEST_P(AddressSyntax, WellFormednessAndType)
{
    EXPECT_EQ(AddressGrammar::isAddressWellFormed(GetParam().text), GetParam().wellFormed)
        << GetParam().text;
    EXPECT_EQ(AddressGrammar::getAddressType(GetParam().text), GetParam().type) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, AddressSyntax,
                         testing::Values(SyntaxCase {"555-1234/123", true, AddressType::Ixo},
                                         SyntaxCase {"Acme Paging/123", true, AddressType::Ixo},
                                         SyntaxCase {"555-1234/", true, AddressType::Ixo},
                                         SyntaxCase {"/123", true, AddressType::Ixo},
                                         SyntaxCase {"555/12!3", false, AddressType::Ixo},
                                         SyntaxCase {"a/b/c", false, AddressType::Ixo},
                                         SyntaxCase {"555/1/2", false, AddressType::Ixo},
                                         SyntaxCase {"555/12a", false, AddressType::Ixo},
                                         SyntaxCase {"555/ 12", false, AddressType::Ixo},
                                         SyntaxCase {"host!12/3", true, AddressType::Ixo},
                                         SyntaxCase {"host!12", true, AddressType::Snpp},
                                         SyntaxCase {"host!", true, AddressType::Snpp},
                                         SyntaxCase {"host!!12", false, AddressType::Snpp},
                                         SyntaxCase {"pager.example:444!12", true,
                                                     AddressType::Snpp},
                                         SyntaxCase {"555-1234", true, AddressType::Analog},
                                         SyntaxCase {"555-1234+9", true, AddressType::Analog},
                                         SyntaxCase {"555,,1234", true, AddressType::Analog},
                                         SyntaxCase {"555 1234", false, AddressType::Analog},
                                         SyntaxCase {"Pat Jones", false, AddressType::Analog},
                                         SyntaxCase {"", true, AddressType::Analog}));

struct FormatCase
{
    AddressType type;
    const char* number;
    std::int32_t pin;
    const char* text;
};

class AddressFormat : public testing::TestWithParam<FormatCase>
{ };

TEST_P(AddressFormat, GivesTheTextForm)
{
    PagerAddress address;
    address.type = GetParam().type;
    address.number = GetParam().number;
    address.pin = GetParam().pin;
    EXPECT_EQ(AddressGrammar::formatAddress(address), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Records, AddressFormat,
    testing::Values(FormatCase {AddressType::Ixo, "555-1234", 42, "555-1234/42"},
                    FormatCase {AddressType::Ixo, "Acme", -7, "Acme/-7"},
                    FormatCase {AddressType::Snpp, "host:444", 0, "host:444!0"},
                    FormatCase {AddressType::Analog, "555-1234+9", 0, "555-1234+9"},
                    FormatCase {AddressType::Invalid, "", 0, "BadAddr(0-0)"},
                    FormatCase {static_cast<AddressType>(9), "x", 5, "BadAddr(9-5)"}));

TEST(AddressType, NamesAreTheProtocolNames)
{
    EXPECT_EQ(addressTypeName(AddressType::Invalid), "Invalid");
    EXPECT_EQ(addressTypeName(AddressType::Ixo), "Ixo");
    EXPECT_EQ(addressTypeName(AddressType::Analog), "Analog");
    EXPECT_EQ(addressTypeName(AddressType::Snpp), "Snpp");
    EXPECT_EQ(addressTypeName(static_cast<AddressType>(4)), "Unknown");
    EXPECT_EQ(addressTypeName(static_cast<AddressType>(-1)), "Unknown");
}

TEST(StringTable, CodesTextsAndHelpKeys)
{
    EXPECT_EQ(StringTable::errorCode(StringId::EntryNotFound), 0x3008D);
    EXPECT_EQ(StringTable::errorCode(StringId::MissingSeparator), 196751);
    EXPECT_EQ(StringTable::text(StringId::BadPin), "Invalid Address: bad pin number (%s)");
    EXPECT_EQ(StringTable::helpKey(StringId::AddEntryFailed), "HIDS_ERM_ADDUSERFAILED");
    EXPECT_EQ(StringTable::helpKey(StringId::EntryNotFound), "");
    EXPECT_EQ(StringTable::find(1), nullptr);
    EXPECT_EQ(StringTable::text(1), "");
}

TEST(StringTable, ArgumentsArePutInLiterally)
{
    EXPECT_EQ(StringTable::format(StringId::BadProviderPhone, {"50%s %d"}),
              "Invalid Address: bad service provider phone number(50%s %d)");
    EXPECT_EQ(StringTable::format(StringId::MapiNoRoot, {"-5"}),
              "MAPI Error: cannot get ADB root (erc=-5)");
    EXPECT_EQ(StringTable::substitute("Entry \"%1\" and 100%% of %s", {"Pat"}),
              "Entry \"Pat\" and 100% of %s");
}

} // namespace
