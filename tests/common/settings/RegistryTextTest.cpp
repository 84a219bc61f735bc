#include "settings/RegistryText.h"

#include <gtest/gtest.h>

namespace {

struct RoundTrip
{
    const char* label;
    SettingsValue value;
    const char* line;
};

class RegistryTextRoundTrip : public testing::TestWithParam<RoundTrip>
{ };

TEST_P(RegistryTextRoundTrip, FormatsAndReadsBack)
{
    const RoundTrip& c = GetParam();
    EXPECT_EQ(RegistryText::formatValue(c.value), c.line);

    const std::string text = std::string("[HKEY_CURRENT_USER\\A]\r\n") + c.line + "\r\n";
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(RegistryText::parse(text, document, true, error)) << error;
    RegistryKeyData& key = document.keys.at("HKEY_CURRENT_USER\\A");
    ASSERT_EQ(key.entries.size(), 1u);
    EXPECT_EQ(key.entries[0].value.name, c.value.name);
    EXPECT_EQ(key.entries[0].value.type, c.value.type);
    EXPECT_EQ(key.entries[0].value.data, c.value.data);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryTextRoundTrip,
    testing::Values(
        RoundTrip {"plain", SettingsValue::makeString("home", "/opt/norvane"),
                   "\"home\"=\"/opt/norvane\""},
        RoundTrip {"quotes", SettingsValue::makeString("a\"b", "say \"hi\" \\ bye"),
                   "\"a\\\"b\"=\"say \\\"hi\\\" \\\\ bye\""},
        RoundTrip {"empty", SettingsValue::makeString("e", ""), "\"e\"=\"\""},
        RoundTrip {"default", SettingsValue::makeString("", "Tessal"), "@=\"Tessal\""},
        RoundTrip {"lineBreak", SettingsValue::makeString("m", "A\r\nB"),
                   "\"m\"=hex(1):41,0d,0a,42,00"},
        RoundTrip {"eightBit", SettingsValue::makeString("u", "caf\xc3\xa9"),
                   "\"u\"=\"caf\xc3\xa9\""},
        RoundTrip {"number", SettingsValue::makeNumber("logLevel", 42),
                   "\"logLevel\"=dword:0000002a"},
        RoundTrip {"negative", SettingsValue::makeNumber("n", 0xffffffffu), "\"n\"=dword:ffffffff"},
        RoundTrip {"binary", SettingsValue::makeBinary("b", std::string("\x01\x02\xff\x00", 4)),
                   "\"b\"=hex:01,02,ff,00"},
        RoundTrip {"emptyBinary", SettingsValue::makeBinary("z", ""), "\"z\"=hex:"}),
    [](const testing::TestParamInfo<RoundTrip>& p) { return p.param.label; });

struct BadLine
{
    const char* text;
    int line;
};

class RegistryTextErrors : public testing::TestWithParam<BadLine>
{ };

TEST_P(RegistryTextErrors, StrictParseNamesTheLine)
{
    RegistryDocument document;
    std::string error;
    EXPECT_FALSE(RegistryText::parse(GetParam().text, document, true, error));
    EXPECT_EQ(error.rfind("line " + std::to_string(GetParam().line) + ":", 0), 0u) << error;
}

INSTANTIATE_TEST_SUITE_P(Lines, RegistryTextErrors,
                         testing::Values(BadLine {"\"x\"=\"before any key\"\n", 1},
                                         BadLine {"[HKCU\\A]\n\"x\"=dword:123456789\n", 2},
                                         BadLine {"[HKCU\\A]\n\n\"x\"=dword:zz\n", 3},
                                         BadLine {"[HKCU\\A]\n\"x\"=\"open\n", 2},
                                         BadLine {"[HKCU\\A]\n\"x\"=hex:1,2,\n", 2},
                                         BadLine {"[HKCU\\A]\n\"x\"=hex:123\n", 2},
                                         BadLine {"[HKEY_NOWHERE\\A]\n", 1},
                                         BadLine {"[HKCU\\A\n", 1},
                                         BadLine {"[HKCU\\A]\nname=\"unquoted\"\n", 2},
                                         BadLine {"[HKCU\\A]\n\"x\"=hex(1):41,00,42,00\n", 2},
                                         BadLine {"[HKCU\\A]\n\"x\"=hex:01,\\\n", 2}));

TEST(RegistryText, LenientParseKeepsUnknownLinesThroughARewrite)
{
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\A]\r\n"
                             "; a note someone left\r\n"
                             "this line is not a value\r\n"
                             "\"ok\"=dword:00000001\r\n";
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(RegistryText::parse(text, document, false, error));
    const std::string rewritten = RegistryText::format(document);
    EXPECT_NE(rewritten.find("; a note someone left\r\n"), std::string::npos);
    EXPECT_NE(rewritten.find("this line is not a value\r\n"), std::string::npos);
    EXPECT_NE(rewritten.find("\"ok\"=dword:00000001\r\n"), std::string::npos);
}

TEST(RegistryText, ContinuedHexLinesAndBareLineFeeds)
{
    const std::string text = "REGEDIT4\n[HKCU\\A]\n\"b\"=hex:01,02,\\\n  03,04\n";
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(RegistryText::parse(text, document, true, error)) << error;
    EXPECT_EQ(document.keys.at("HKEY_CURRENT_USER\\A").entries.at(0).value.data,
              std::string("\x01\x02\x03\x04"));
}

TEST(RegistryText, KeysSortInTreeOrderWithoutCase)
{
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(RegistryText::parse("[HKCU\\a b]\n[HKCU\\A\\z]\n[HKCU\\a]\n[HKCU\\B]\n", document,
                                    true, error));
    std::vector<std::string> order;
    for (const auto& item : document.keys) {
        order.push_back(item.first);
    }
    EXPECT_EQ(order,
              (std::vector<std::string> {"HKEY_CURRENT_USER\\a", "HKEY_CURRENT_USER\\A\\z",
                                         "HKEY_CURRENT_USER\\a b", "HKEY_CURRENT_USER\\B"}));
}

TEST(RegistryText, ApplyDeletesKeysWithSubkeysAndSingleValues)
{
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(RegistryText::parse(
        "[HKCU\\A]\n\"x\"=\"1\"\n\"y\"=\"2\"\n[HKCU\\A\\B]\n[HKCU\\AB]\n", document, true, error));
    RegistryDocument changes;
    ASSERT_TRUE(RegistryText::parse("[-HKCU\\A\\B]\n[HKCU\\A]\n\"x\"=-\n\"z\"=dword:1\n", changes,
                                    true, error))
        << error;
    RegistryText::apply(changes, document);
    EXPECT_FALSE(document.keys.contains("HKEY_CURRENT_USER\\A\\B"));
    EXPECT_TRUE(document.keys.contains("HKEY_CURRENT_USER\\AB"));
    RegistryKeyData& a = document.keys.at("HKEY_CURRENT_USER\\A");
    EXPECT_EQ(a.findValue("x"), nullptr);
    ASSERT_NE(a.findValue("Y"), nullptr);
    ASSERT_NE(a.findValue("z"), nullptr);
    EXPECT_EQ(a.findValue("z")->value.number(), 1u);
}

} // namespace
