#include "settings/RegistryText.h"

#include "settings/RegistryEncoding.h"
#include "settings/RegistryParser.h"
#include "settings/RegistryWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    EXPECT_EQ(RegistryWriter::formatValue(c.value), c.line);

    const std::string text = std::string("[HKEY_CURRENT_USER\\A]\r\n") + c.line + "\r\n";
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(RegistryParser::parse(text, document, true, error)) << error;
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
    EXPECT_FALSE(RegistryParser::parse(GetParam().text, document, true, error));
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
    ASSERT_TRUE(RegistryParser::parse(text, document, false, error));
    const std::string rewritten = RegistryWriter::format(document);
    EXPECT_NE(rewritten.find("; a note someone left\r\n"), std::string::npos);
    EXPECT_NE(rewritten.find("this line is not a value\r\n"), std::string::npos);
    EXPECT_NE(rewritten.find("\"ok\"=dword:00000001\r\n"), std::string::npos);
}

TEST(RegistryText, ContinuedHexLinesAndBareLineFeeds)
{
    const std::string text = "REGEDIT4\n[HKCU\\A]\n\"b\"=hex:01,02,\\\n  03,04\n";
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(RegistryParser::parse(text, document, true, error)) << error;
    EXPECT_EQ(document.keys.at("HKEY_CURRENT_USER\\A").entries.at(0).value.data,
              std::string("\x01\x02\x03\x04"));
}

TEST(RegistryText, KeysSortInTreeOrderWithoutCase)
{
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(RegistryParser::parse("[HKCU\\a b]\n[HKCU\\A\\z]\n[HKCU\\a]\n[HKCU\\B]\n", document,
                                      true, error));
    std::vector<std::string> order;
    for (const auto& item : document.keys) {
        order.push_back(item.first);
    }
    EXPECT_EQ(order,
              (std::vector<std::string> {"HKEY_CURRENT_USER", "HKEY_CURRENT_USER\\A",
                                         "HKEY_CURRENT_USER\\A\\z", "HKEY_CURRENT_USER\\a b",
                                         "HKEY_CURRENT_USER\\B"}));
}

TEST(RegistryText, ApplyDeletesKeysWithSubkeysAndSingleValues)
{
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(RegistryParser::parse(
        "[HKCU\\A]\n\"x\"=\"1\"\n\"y\"=\"2\"\n[HKCU\\A\\B]\n[HKCU\\AB]\n", document, true, error));
    std::vector<RegistryChange> changes;
    ASSERT_TRUE(RegistryParser::parseImport("[-HKCU\\A\\B]\n[HKCU\\A]\n\"x\"=-\n\"z\"=dword:1\n",
                                            changes, error))
        << error;
    document.apply(changes);
    EXPECT_FALSE(document.keys.contains("HKEY_CURRENT_USER\\A\\B"));
    EXPECT_TRUE(document.keys.contains("HKEY_CURRENT_USER\\AB"));
    RegistryKeyData& a = document.keys.at("HKEY_CURRENT_USER\\A");
    EXPECT_EQ(a.findValue("x"), nullptr);
    ASSERT_NE(a.findValue("Y"), nullptr);
    ASSERT_NE(a.findValue("z"), nullptr);
    EXPECT_EQ(a.findValue("z")->value.number(), 1u);
}

// The values of every key, as "key|name|type|data" lines, to compare documents by content.
std::vector<std::string> valuesOf(const RegistryDocument& document)
{
    std::vector<std::string> out;
    for (const auto& [name, key] : document.keys) {
        out.push_back(name);
        for (const RegistryEntry& entry : key.entries) {
            if (!entry.isRaw) {
                out.push_back(name + "|" + entry.value.name + "|"
                              + std::to_string(static_cast<int>(entry.value.type)) + "|"
                              + entry.value.data);
            }
        }
    }
    return out;
}

struct Typo
{
    const char* label;
    const char* line;
    bool isSection; // the lines after it up to the next key belong to no key
};

class RegistryTextTypo : public testing::TestWithParam<Typo>
{ };

// A line the parser does not understand neither ends the parse nor lends its values to the
// key before it, and a rewrite keeps it where it was.
TEST_P(RegistryTextTypo, HidesNothingAndIsKeptInPlace)
{
    const std::string typo = GetParam().line;
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\A]\r\n"
                             "\"a\"=dword:00000001\r\n"
        + typo + "\r\n\"after\"=\"typo\"\r\n\r\n" + "[HKEY_CURRENT_USER\\B]\r\n\"b\"=\"2\"\r\n";
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(RegistryParser::parse(text, document, false, error));
    ASSERT_TRUE(document.keys.contains("HKEY_CURRENT_USER\\B"));
    EXPECT_EQ(document.keys.at("HKEY_CURRENT_USER\\B").findValue("b")->value.data, "2");
    const RegistryKeyData& a = document.keys.at("HKEY_CURRENT_USER\\A");
    ASSERT_NE(a.findValue("a"), nullptr);
    EXPECT_EQ(a.findValue("after") == nullptr, GetParam().isSection);

    // A write (here after a change) keeps the typo and what follows it, before key B.
    document.keys.at("HKEY_CURRENT_USER\\A")
        .entries.push_back(RegistryEntry {SettingsValue::makeString("new", "v"), {}, false});
    const std::string written = RegistryWriter::format(document);
    const std::size_t at = written.find(typo + "\r\n");
    ASSERT_NE(at, std::string::npos) << written;
    if (GetParam().isSection) {
        EXPECT_LT(written.find("\"new\"=\"v\""), at) << written;
    } else {
        EXPECT_LT(written.find("\"a\"=dword:00000001"), at) << written;
        EXPECT_LT(at, written.find("\"after\"=\"typo\"")) << written;
    }
    EXPECT_LT(at, written.find("[HKEY_CURRENT_USER\\B]")) << written;
    RegistryDocument again;
    ASSERT_TRUE(RegistryParser::parse(written, again, false, error));
    EXPECT_EQ(valuesOf(again), valuesOf(document));
    EXPECT_EQ(RegistryWriter::format(again), written);

    EXPECT_FALSE(RegistryParser::parse(text, document, true, error));
}

INSTANTIATE_TEST_SUITE_P(Lines, RegistryTextTypo,
                         testing::Values(Typo {"openSection", "[Foo", true},
                                         Typo {"unknownRoot", "[SOFTWARE\\Typo]", true},
                                         Typo {"emptySection", "[]", true},
                                         Typo {"deletionInStore", "[-HKCU\\A]", true},
                                         Typo {"badValue", "\"x\"=dword:nothex", false},
                                         Typo {"unknownType", "\"m\"=hex(7):00", false},
                                         Typo {"bareWord", "logLevel=6", false},
                                         Typo {"cutHex", "\"h\"=hex:01,\\", false}),
                         [](const testing::TestParamInfo<Typo>& p) { return p.param.label; });

TEST(RegistryText, ValuesAfterAStraySectionAreNotTheKeyBefore)
{
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(
        RegistryParser::parse("[HKCU\\A]\n[SOFTWARE\\A]\n\"x\"=\"1\"\n", document, false, error));
    EXPECT_EQ(document.keys.at("HKEY_CURRENT_USER\\A").findValue("x"), nullptr);
    // Removing the key before keeps the stray section's lines.
    ASSERT_TRUE(document.removeKey("HKEY_CURRENT_USER\\A"));
    const std::string written = RegistryWriter::format(document);
    EXPECT_NE(written.find("[SOFTWARE\\A]\r\n\"x\"=\"1\"\r\n"), std::string::npos) << written;
}

TEST(RegistryText, LinesBeforeTheFirstKeyAreKept)
{
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(
        RegistryParser::parse("Windows Registry Editor Version 5.00\r\n"
                              "; written by hand\r\n\r\n[HKCU]\r\n[HKCU\\A]\r\n\"a\"=\"1\"\r\n",
                              document, false, error));
    EXPECT_EQ(RegistryWriter::format(document),
              "Windows Registry Editor Version 5.00\r\n"
              "; written by hand\r\n\r\n"
              "[HKEY_CURRENT_USER]\r\n\r\n"
              "[HKEY_CURRENT_USER\\A]\r\n\"a\"=\"1\"\r\n");
}

std::string utf16(std::string_view ascii, bool littleEndian)
{
    std::string out = littleEndian ? "\xff\xfe" : "\xfe\xff";
    for (char c : ascii) {
        out += littleEndian ? std::string {c, '\0'} : std::string {'\0', c};
    }
    return out;
}

struct Encoding
{
    const char* label;
    std::string bytes;
};

class RegistryTextEncoding : public testing::TestWithParam<Encoding>
{ };

TEST_P(RegistryTextEncoding, ReadsTheSameValues)
{
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(RegistryParser::readStore(GetParam().bytes, document, error)) << error;
    RegistryDocument expected;
    ASSERT_TRUE(RegistryParser::parse("[HKCU\\A]\n\"s\"=\"x y\"\n\"n\"=dword:2a\n[HKCU\\B]\n"
                                      "\"b\"=hex:01,02,\\\n  03\n",
                                      expected, true, error));
    EXPECT_EQ(valuesOf(document), valuesOf(expected));
}

const std::string plainText = "Windows Registry Editor Version 5.00\r\n\r\n[HKCU\\A]\r\n"
                              "\"s\"=\"x y\"\r\n\"n\"=dword:2a\r\n\r\n[HKCU\\B]\r\n"
                              "\"b\"=hex:01,02,\\\r\n  03\r\n";

std::string withLineEnds(std::string text, std::string_view end)
{
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text.compare(at, 2, "\r\n") == 0) {
            out += end;
            ++at;
        } else {
            out += text[at];
        }
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(Files, RegistryTextEncoding,
                         testing::Values(Encoding {"crLf", plainText},
                                         Encoding {"crOnly", withLineEnds(plainText, "\r")},
                                         Encoding {"lfOnly", withLineEnds(plainText, "\n")},
                                         Encoding {"utf8Bom", "\xef\xbb\xbf" + plainText},
                                         Encoding {"utf16le", utf16(plainText, true)},
                                         Encoding {"utf16be",
                                                   utf16(withLineEnds(plainText, "\r"), false)}),
                         [](const testing::TestParamInfo<Encoding>& p) { return p.param.label; });

TEST(RegistryText, Utf16BecomesUtf8AndBrokenUtf16IsRefused)
{
    // "é" (U+00E9) and U+1F600 as a surrogate pair.
    const std::string bytes = std::string("\xff\xfe\xe9\x00=\x00\x3d\xd8\x00\xde", 10);
    std::string text, error;
    ASSERT_TRUE(RegistryEncoding::decode(bytes, text, error)) << error;
    EXPECT_EQ(text, "\xc3\xa9=\xf0\x9f\x98\x80");
    EXPECT_FALSE(RegistryEncoding::decode(std::string("\xff\xfe\x3d\xd8\x41\x00", 6), text, error));
    EXPECT_FALSE(RegistryEncoding::decode(std::string("\xff\xfe\x41", 3), text, error));
}

TEST(RegistryText, AFileThatIsNoRegistryTextIsRefused)
{
    RegistryDocument document;
    std::string error;
    EXPECT_FALSE(RegistryParser::readStore(std::string("\x7f"
                                                       "ELF\x02\x01\x01\x00\x00",
                                                       9),
                                           document, error));
    EXPECT_NE(error.find("binary"), std::string::npos) << error;
    EXPECT_FALSE(
        RegistryParser::readStore("export PATH=/usr/bin\nalias ll='ls -l'\n", document, error));
    EXPECT_NE(error.find("not a registry text"), std::string::npos) << error;
    for (const char* fine : {"", "\r\n \r\n", "; only a note\n", "REGEDIT4\n", "[HKCU\\A]"}) {
        EXPECT_TRUE(RegistryParser::readStore(fine, document, error)) << fine << ": " << error;
    }
}

TEST(RegistryText, ImportAppliesItsLinesInOrder)
{
    RegistryDocument document;
    std::string error;
    ASSERT_TRUE(RegistryParser::parse("[HKCU\\L]\n\"keep\"=\"1\"\n[HKCU\\L\\Lines]\n"
                                      "[HKCU\\L\\Lines\\0]\n\"old\"=\"x\"\n",
                                      document, true, error));
    std::vector<RegistryChange> changes;
    ASSERT_TRUE(
        RegistryParser::parseImport("[-HKCU\\L\\Lines]\n[HKCU\\L\\Lines\\0]\n\"type\"=\"tcp\"\n"
                                    "[HKCU\\L\\Gone]\n\"v\"=\"1\"\n[-HKCU\\L\\Gone]\n"
                                    "[HKCU\\L]\n\"keep\"=-\n\"keep\"=\"2\"\n",
                                    changes, error))
        << error;
    document.apply(changes);
    EXPECT_EQ(valuesOf(document),
              (std::vector<std::string> {
                  "HKEY_CURRENT_USER", "HKEY_CURRENT_USER\\L", "HKEY_CURRENT_USER\\L|keep|0|2",
                  "HKEY_CURRENT_USER\\L\\Lines", "HKEY_CURRENT_USER\\L\\Lines\\0",
                  "HKEY_CURRENT_USER\\L\\Lines\\0|type|0|tcp"}));
}

TEST(RegistryText, ImportRefusesAZeroByteInAString)
{
    std::vector<RegistryChange> changes;
    std::string error;
    const std::string text = std::string("[HKCU\\A]\n\"s\"=\"a\0b\"\n", 19);
    EXPECT_FALSE(RegistryParser::parseImport(text, changes, error));
    EXPECT_EQ(error, "line 2: a string cannot hold a zero byte");
    EXPECT_FALSE(RegistryParser::parseImport(std::string("[HKCU\\A]\n\"s\0\"=\"ab\"\n", 19),
                                             changes, error));
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
}

TEST(RegistryText, NamesThatCannotBeWrittenBackAreNamed)
{
    EXPECT_EQ(RegistryText::nameProblem("plain ] [ \" \\ name"), "");
    EXPECT_NE(RegistryText::nameProblem("a\rb"), "");
    EXPECT_NE(RegistryText::nameProblem("a\nb"), "");
    EXPECT_NE(RegistryText::nameProblem(std::string("a\0b", 3)), "");
    EXPECT_EQ(RegistryText::printable(std::string("n\r\n\0\x01", 5)), "n\\r\\n\\0\\x01");

    // "]" inside or at the end of a key name reads back as the same key.
    RegistryDocument document;
    ASSERT_TRUE(document.addKey("HKEY_CURRENT_USER\\a]b\\c]"));
    RegistryDocument again;
    std::string error;
    ASSERT_TRUE(RegistryParser::parse(RegistryWriter::format(document), again, true, error))
        << error;
    EXPECT_EQ(valuesOf(again), valuesOf(document));
}

} // namespace
