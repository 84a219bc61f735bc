#include "stores/SavedMessageLine.h"

#include "SavedMessagePrinter.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase
{
    const char* what;
    std::string line;
    SavedMessage expected;
};

class SavedMessageLineParse : public testing::TestWithParam<ParseCase>
{ };

TEST_P(SavedMessageLineParse, SplitsAsTheStoreReads)
{
    EXPECT_EQ(SavedMessageLine::parse(GetParam().line), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SavedMessageLineParse,
    testing::Values(ParseCase {"four fields with CR LF",
                               "Name\x05W 042 00 00 09 30 000000000000\x05"
                               "555/1\x05Text\r\n",
                               {"Name", "W 042 00 00 09 30 000000000000", "555/1", "Text"}},
                    ParseCase {"bare LF", "a\x05-\x05r\x05m\n", {"a", "-", "r", "m"}},
                    ParseCase {"no line end", "a\x05-\x05r\x05m", {"a", "-", "r", "m"}},
                    ParseCase {"empty message", "a\x05-\x05r\x05\r\n", {"a", "-", "r", ""}},
                    ParseCase {"two fields only", "a\x05-\r\n", {"a", "-", "", ""}},
                    ParseCase {"empty line", "\r\n", {"", "", "", ""}},
                    ParseCase {"runs of delimiters count as one",
                               "a\x05\x05-\x05\x05\x05r\x05m",
                               {"a", "-", "r", "m"}},
                    ParseCase {"leading delimiters are skipped",
                               "\x05\x05"
                               "a\x05-\x05r\x05m",
                               {"a", "-", "r", "m"}},
                    ParseCase {"a fifth field is dropped",
                               "a\x05-\x05r\x05m\x05"
                               "extra",
                               {"a", "-", "r", "m"}},
                    ParseCase {"a lone CR inside delimits", "a\r-\x05r\x05m", {"a", "-", "r", "m"}},
                    ParseCase {"blanks belong to the fields",
                               " a \x05- \x05r;s\x05 m ",
                               {" a ", "- ", "r;s", " m "}}));

TEST(SavedMessageLine, FormatsWithDelimitersAndCrLf)
{
    EXPECT_EQ(SavedMessageLine::format({"n", "-", "r", ""}), "n\x05-\x05r\x05\r\n");
    EXPECT_EQ(SavedMessageLine::format({"n", "s", "r", "m"}), "n\x05s\x05r\x05m\r\n");
}

TEST(SavedMessageLine, ParseAllCountsEmptyLinesAndHonoursTheLimit)
{
    const std::string file = "a\x05-\x05r\x05m\r\n\r\nb\x05-\x05r\x05m\nc\x05-\x05r";
    const auto all = SavedMessageLine::parseAll(file, 100);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[1], (SavedMessage {"", "", "", ""}));
    EXPECT_EQ(all[3].name, "c");
    EXPECT_EQ(SavedMessageLine::parseAll(file, 2).size(), 2u);
    EXPECT_TRUE(SavedMessageLine::parseAll("", 100).empty());
}

TEST(SavedMessageLine, EveryLineEndEndsARecord)
{
    // CR alone (an editor of another system), LF alone and CR LF, mixed in one file.
    const auto all
        = SavedMessageLine::parseAll("a\x05-\x05r\x05m\rb\x05-\x05s\nc\x05-\x05t\r\nd", 100);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0], (SavedMessage {"a", "-", "r", "m"}));
    EXPECT_EQ(all[1], (SavedMessage {"b", "-", "s", ""}));
    EXPECT_EQ(all[2], (SavedMessage {"c", "-", "t", ""}));
    EXPECT_EQ(all[3].name, "d");
    EXPECT_EQ(SavedMessageLine::parseAll("a\rb\r", 1).size(), 1u);
}

struct CheckCase
{
    SavedMessage record;
    bool ok;
    bool tooLong;
    const char* inWhy;
};

class SavedMessageLineCheck : public testing::TestWithParam<CheckCase>
{ };

TEST_P(SavedMessageLineCheck, RefusesWhatWouldNotReadBack)
{
    std::string why;
    bool tooLong = false;
    EXPECT_EQ(SavedMessageLine::check(GetParam().record, why, tooLong), GetParam().ok) << why;
    EXPECT_EQ(tooLong, GetParam().tooLong);
    EXPECT_NE(why.find(GetParam().inWhy), std::string::npos) << why;
    if (GetParam().ok) {
        // What passes the check reads back unchanged.
        EXPECT_EQ(SavedMessageLine::parse(SavedMessageLine::format(GetParam().record)),
                  GetParam().record);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, SavedMessageLineCheck,
    testing::Values(
        CheckCase {{"n", "-", "r", "m"}, true, false, ""},
        CheckCase {{"n", "-", "r", ""}, true, false, ""},
        CheckCase {{"n\x05x", "-", "r", "m"}, false, false, "name holds the byte 0x05"},
        CheckCase {{"n", "-", "r", "line\r\nbreak"}, false, false, "message holds a line break"},
        CheckCase {{"n", "-", "a\nb", "m"}, false, false, "recipient list holds a line break"},
        CheckCase {{"n", "-", "r", std::string("zero\0byte", 9)}, false, false, "zero byte"},
        CheckCase {{"n", "-", "", "m"}, false, false, "message cannot follow an empty field"},
        CheckCase {{"", "-", "r", "m"}, false, false, "schedule cannot follow"},
        CheckCase {{std::string(127, 'n'), "-", "r", "m"}, true, false, ""},
        CheckCase {{std::string(128, 'n'), "-", "r", "m"}, false, true, "name has 128"},
        CheckCase {{"n", std::string(64, 's'), "r", "m"}, false, true, "schedule text has 64"},
        // 1 + 1 + 1 + 247 + 3 delimiters = 253: the longest line that reads back whole.
        CheckCase {{"n", "-", "r", std::string(247, 'm')}, true, false, ""},
        CheckCase {{"n", "-", "r", std::string(248, 'm')}, false, true, "needs 254 characters"},
        CheckCase {{"n", "-", std::string(200, 'r'), std::string(100, 'm')},
                   false,
                   true,
                   "more than the 253"}));

} // namespace
