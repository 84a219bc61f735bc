#include "addressing/AddressParser.h"

#include "ScopedRegistry.h"
#include "addressing/AddressGrammar.h"
#include "directories/ProviderDatabase.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <climits>
#include <thread>

namespace {

constexpr std::int32_t missingSeparator = 0x3008F;
constexpr std::int32_t badPhone = 0x30090;
constexpr std::int32_t badPin = 0x30091;

// A provider database with "Acme Paging" (555-0100) and "Say \"Hi\"" (1-800) in the test's
// folder, created headless.
class ProviderFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        SettingsKey paths(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths");
        ASSERT_TRUE(paths.setString("pspDbs", registry.dir().file("pspDbs.mdb")));
        ASSERT_TRUE(providers.open()) << providers.lastErrorText();
        ASSERT_TRUE(providers.add("Acme Paging", "555-0100"));
        ASSERT_TRUE(providers.add("Say \"Hi\"", "1-800"));
    }

    ScopedRegistry registry;
    ProviderDatabase providers;
};

struct ParseCase
{
    const char* label;
    std::string text;
    bool translate;
    bool ok;
    AddressType type;
    std::string number;
    std::int32_t pin;
    std::int32_t code;
    std::string error;
};

class AddressParse : public ProviderFixture, public testing::WithParamInterface<ParseCase>
{ };

TEST_P(AddressParse, RecordOrError)
{
    const ParseCase& c = GetParam();
    AddressParser parser(&providers);
    PagerAddress address;
    address.recipientText = "left over";
    EXPECT_EQ(parser.parseAddress(c.text, address, c.translate), c.ok);
    EXPECT_EQ(address.type, c.type);
    EXPECT_EQ(address.recipientText, "");
    if (c.ok) {
        EXPECT_EQ(address.number, c.number);
        EXPECT_EQ(address.pin, c.pin);
        EXPECT_EQ(parser.lastAddressErrorCode(), 0);
    } else {
        EXPECT_EQ(parser.lastAddressErrorCode(), c.code);
        EXPECT_EQ(parser.lastAddressError(), c.error);
    }
}

const std::string p144 = "Invalid Address: bad service provider phone number(";
const std::string p145 = "Invalid Address: bad pin number (";

INSTANTIATE_TEST_SUITE_P(
    Addresses, AddressParse,
    testing::Values(
        ParseCase {"ixo", "555-1234/123", true, true, AddressType::Ixo, "555-1234", 123, 0, ""},
        ParseCase {"dialCharacters", "9, 555-0100 DdTt/7", true, true, AddressType::Ixo,
                   "9, 555-0100 DdTt", 7, 0, ""},
        ParseCase {"providerTranslated", "acme paging/12", true, true, AddressType::Ixo, "555-0100",
                   12, 0, ""},
        ParseCase {"providerWithQuote", "Say \"Hi\"/3", true, true, AddressType::Ixo, "1-800", 3, 0,
                   ""},
        ParseCase {"providerUntranslated", "Acme Paging/12", false, true, AddressType::Ixo,
                   "Acme Paging", 12, 0, ""},
        ParseCase {"unknownProvider", "Nobody Paging/12", true, false, AddressType::Ixo, "", 0,
                   badPhone, p144 + "Nobody Paging)"},
        ParseCase {"emptyPin", "555-1234/", true, false, AddressType::Ixo, "", 0, badPin,
                   p145 + ")"},
        ParseCase {"zeroPin", "555-1234/0", true, false, AddressType::Ixo, "", 0, badPin,
                   p145 + "0)"},
        ParseCase {"lettersPin", "555/abc", true, false, AddressType::Ixo, "", 0, badPin,
                   p145 + "abc)"},
        ParseCase {"emptyPhone", "/123", true, false, AddressType::Ixo, "", 0, badPhone,
                   p144 + ")"},
        ParseCase {"emptyPhoneUntranslated", "/123", false, false, AddressType::Ixo, "", 0,
                   badPhone, p144 + ")"},
        ParseCase {"lastSlashSplits", "a/b/c", false, false, AddressType::Ixo, "", 0, badPin,
                   p145 + "c)"},
        ParseCase {"snppInIxo", "host!12/3", true, false, AddressType::Ixo, "", 0, badPhone,
                   p144 + "host!12)"},
        ParseCase {"snppInIxoUntranslated", "host!12/3", false, true, AddressType::Ixo, "host!12",
                   3, 0, ""},
        ParseCase {"pinLikeAtoi", "555/ +0042x", true, true, AddressType::Ixo, "555", 42, 0, ""},
        ParseCase {"leadingZeros", "555-1234/0042", true, true, AddressType::Ixo, "555-1234", 42, 0,
                   ""},
        ParseCase {"pinMax", "555/2147483647", true, true, AddressType::Ixo, "555", 2147483647, 0,
                   ""},
        ParseCase {"pinTooBig", "555/2147483648", true, false, AddressType::Ixo, "", 0, badPin,
                   p145 + "2147483648)"},
        ParseCase {"pinMin", "555/-2147483648", true, true, AddressType::Ixo, "555", INT32_MIN, 0,
                   ""},
        ParseCase {"pinTooSmall", "555/-2147483649", true, false, AddressType::Ixo, "", 0, badPin,
                   p145 + "-2147483649)"},
        ParseCase {"pinManyDigits", "555/99999999999999999999999", true, false, AddressType::Ixo,
                   "", 0, badPin, p145 + "99999999999999999999999)"},
        ParseCase {"pinManyZeros", "555/" + std::string(40, '0') + "7", true, true,
                   AddressType::Ixo, "555", 7, 0, ""},
        ParseCase {"snpp", "pager.example:444!12", true, true, AddressType::Snpp,
                   "pager.example:444", 12, 0, ""},
        ParseCase {"snppPinZero", "host!0", true, true, AddressType::Snpp, "host", 0, 0, ""},
        ParseCase {"snppRunOfSeparators", "host!!12", true, true, AddressType::Snpp, "host", 12, 0,
                   ""},
        ParseCase {"snppNoPin", "host!", true, false, AddressType::Snpp, "", 0, badPhone,
                   p144 + "host!)"},
        ParseCase {"snppNoHost", "!123", true, false, AddressType::Snpp, "", 0, badPhone,
                   p144 + "!123)"},
        ParseCase {"snppOnlySeparator", "!", true, false, AddressType::Snpp, "", 0,
                   missingSeparator, "Invalid Address: missing separator or pin number"},
        ParseCase {"snppPinTooBig", "host!4294967296", true, false, AddressType::Snpp, "", 0,
                   badPin, p145 + "4294967296)"},
        ParseCase {"analog", "555-1234", true, true, AddressType::Analog, "555-1234", 0, 0, ""},
        ParseCase {"analogPlus", "555-1234+9", true, true, AddressType::Analog, "555-1234+9", 0, 0,
                   ""},
        ParseCase {"analogUnchecked", "Pat Jones", true, true, AddressType::Analog, "Pat Jones", 0,
                   0, ""},
        ParseCase {"empty", "", true, true, AddressType::Analog, "", 0, 0, ""},
        ParseCase {"longest", std::string(123, '5') + "/123", true, true, AddressType::Ixo,
                   std::string(123, '5'), 123, 0, ""},
        ParseCase {"tooLong", std::string(124, '5') + "/123", true, false, AddressType::Ixo, "", 0,
                   badPhone, (p144 + std::string(124, '5') + ")").substr(0, 127)}),
    [](const auto& p) { return p.param.label; });

TEST_F(ProviderFixture, FormattingAParsedAddressGivesItsCanonicalForm)
{
    AddressParser parser(&providers);
    PagerAddress address;
    for (const auto& [text, canonical] :
         std::vector<std::pair<std::string, std::string>> {{"555-1234/0042", "555-1234/42"},
                                                           {"host!007", "host!7"},
                                                           {"555-1234+9", "555-1234+9"},
                                                           {"Acme Paging/5", "Acme Paging/5"}}) {
        ASSERT_TRUE(parser.parseAddress(text, address, false)) << text;
        EXPECT_EQ(AddressGrammar::formatAddress(address), canonical);
    }
}

TEST_F(ProviderFixture, TranslatePhoneNumber)
{
    AddressParser parser(&providers);
    EXPECT_EQ(parser.translatePhoneNumber("555 0100"), "555 0100");
    EXPECT_EQ(parser.translatePhoneNumber(""), "");
    EXPECT_EQ(parser.translatePhoneNumber("ACME PAGING"), "555-0100");
    EXPECT_EQ(parser.translatePhoneNumber("Acme"), std::nullopt);
    AddressParser withoutDatabase;
    EXPECT_EQ(withoutDatabase.translatePhoneNumber("Acme Paging"), std::nullopt);
}

TEST_F(ProviderFixture, ASuccessKeepsTheEarlierError)
{
    AddressParser parser(&providers);
    PagerAddress address;
    ASSERT_FALSE(parser.parseAddress("555/0", address, true));
    ASSERT_TRUE(parser.parseAddress("555/1", address, true));
    EXPECT_EQ(parser.lastAddressErrorCode(), badPin);
}

TEST(AddressParser, LongErrorTextIsCutAtACharacterBoundary)
{
    // A provider name of two-byte characters makes message 144 longer than 127 bytes.
    std::string name;
    for (int i = 0; i < 60; ++i) {
        name += "\xC3\xA9";
    }
    AddressParser parser;
    PagerAddress address;
    ASSERT_FALSE(parser.parseAddress(name + "/1", address, true));
    const std::string& error = parser.lastAddressError();
    EXPECT_LE(error.size(), 127u);
    EXPECT_GE(error.size(), 126u);
    EXPECT_EQ(error.rfind("Invalid Address: bad service provider phone number(\xC3\xA9", 0), 0u);
    // The text ends on a whole character: an even number of bytes after the ASCII prefix.
    const std::size_t prefix
        = std::string("Invalid Address: bad service provider phone number(").size();
    EXPECT_EQ((error.size() - prefix) % 2, 0u);
}

TEST(AddressParser, ParsersOnDifferentThreadsKeepTheirOwnErrors)
{
    std::atomic<int> wrong {0};
    const auto parseMany = [&wrong](const char* text, std::int32_t expected) {
        AddressParser parser;
        PagerAddress address;
        for (int i = 0; i < 500; ++i) {
            if (parser.parseAddress(text, address, false)
                || parser.lastAddressErrorCode() != expected) {
                ++wrong;
            }
        }
    };
    std::thread pin(parseMany, "555/0", badPin);
    std::thread phone(parseMany, "host!", badPhone);
    pin.join();
    phone.join();
    EXPECT_EQ(wrong.load(), 0);
}

} // namespace
