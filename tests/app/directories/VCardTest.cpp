#include "directories/VCard.h"

#include "VCardChecker.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

namespace {

struct EscapeCase
{
    const char* label;
    std::string plain;
    std::string escaped;
};

class VCardEscaping : public testing::TestWithParam<EscapeCase>
{ };

TEST_P(VCardEscaping, EscapesAndUnescapesAsTheTextRulesSay)
{
    EXPECT_EQ(VCard::escapeText(GetParam().plain), GetParam().escaped);
    EXPECT_EQ(VCard::unescapeText(GetParam().escaped), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(Texts, VCardEscaping,
                         testing::Values(EscapeCase {"plain", "Pat Jones", "Pat Jones"},
                                         EscapeCase {"comma", "Jones, Pat", "Jones\\, Pat"},
                                         EscapeCase {"semicolon", "a;b", "a\\;b"},
                                         EscapeCase {"backslash", "a\\b", "a\\\\b"},
                                         EscapeCase {"newline", "a\nb", "a\\nb"},
                                         EscapeCase {"dialPauses", "555,,1234/12",
                                                     "555\\,\\,1234/12"}),
                         [](const auto& p) { return p.param.label; });

TEST(VCard, UnescapeAcceptsCapitalNAndCrLf)
{
    EXPECT_EQ(VCard::unescapeText("a\\Nb"), "a\nb");
    EXPECT_EQ(VCard::escapeText("a\r\nb"), "a\\nb");
    EXPECT_EQ(VCard::unescapeText("trailing\\"), "trailing\\");
}

TEST(VCard, FoldingKeepsLinesShortAndCharactersWhole)
{
    std::string line = "FN:";
    for (int i = 0; i < 60; ++i) {
        line += "\xE2\x82\xAC"; // three-byte characters
    }
    const std::vector<std::string> folded = VCard::fold(line);
    ASSERT_GT(folded.size(), 1u);
    std::string joined;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        EXPECT_LE(folded[i].size(), 75u);
        if (i > 0) {
            ASSERT_EQ(folded[i][0], ' ');
            // A continuation never starts inside a character.
            EXPECT_NE(static_cast<unsigned char>(folded[i][1]) & 0xC0, 0x80);
        }
        joined += i == 0 ? folded[i] : folded[i].substr(1);
    }
    EXPECT_EQ(joined, line);
    EXPECT_EQ(VCard::fold(std::string(75, 'x')).size(), 1u);
    EXPECT_EQ(VCard::fold(std::string(76, 'x')).size(), 2u);
}

// Runs the check in a child process with a memory and time bound, so that a folding loop that
// never ends fails the test instead of exhausting the machine.
[[noreturn]] void checkInBounds(const std::function<bool()>& check)
{
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // (The sanitizers reserve more address space than any such bound; the alarm remains.)
    rlimit memory {};
    memory.rlim_cur = memory.rlim_max = 512UL << 20;
    (void)::setrlimit(RLIMIT_AS, &memory);
#endif
    ::alarm(10);
    std::_Exit(check() ? 0 : 3);
}

void runBounded(const std::function<bool()>& check)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(checkInBounds(check), testing::ExitedWithCode(0), "");
}

// Whether the folded lines are short enough and join back to the line.
bool foldsBackTo(const std::vector<std::string>& folded, const std::string& line)
{
    std::string joined;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (folded[i].size() > VCard::maxLineBytes || (i > 0 && folded[i][0] != ' ')) {
            return false;
        }
        joined += i == 0 ? folded[i] : folded[i].substr(1);
    }
    return joined == line;
}

TEST(VCard, TextThatIsNotUtf8IsFoldedByBytes)
{
    std::string continuations;
    for (int i = 0; i < 200; ++i) {
        continuations += static_cast<char>(0x80 + i % 64);
    }
    const std::vector<std::string> lines {
        "FN:" + continuations.substr(0, 72), // 75 bytes: one line
        continuations.substr(0, 75),
        "FN:" + continuations.substr(0, 73),
        "TEL;TYPE=pager:" + continuations,
        "FN:" + std::string(80, '\xC3'), // lead bytes without their continuations
        "FN:" + std::string(40, 'x') + "\xE2\x82" + continuations.substr(0, 90),
    };
    for (const std::string& line : lines) {
        SCOPED_TRACE(line.size());
        runBounded([&line] {
            const std::vector<std::string> folded = VCard::fold(line);
            // By bytes: every line but the last is full.
            return foldsBackTo(folded, line)
                && (folded.size() == 1 || folded[0].size() == VCard::maxLineBytes);
        });
    }
}

TEST(VCard, CardWithANameThatIsNotUtf8IsWrittenAndReadBack)
{
    runBounded([] {
        const std::string name(120, '\x9F');
        const std::string pager = "555-0100/" + std::string(90, '\xA0');
        VCard card = VCard::make(name, pager, "urn:uuid:1");
        card.setPagerInfo(pager + "1");
        const std::vector<VCard> read = VCard::parse(card.text());
        return read.size() == 1 && read[0].name() == name && read[0].pagerInfo() == pager + "1";
    });
}

TEST(VCard, MadeCardIsValidAndReadsBack)
{
    const std::string name = "Jones, Pat; \"The Pager\" \\ Ünïcode " + std::string(60, 'x');
    const VCard card = VCard::make(name, "555,,1234/12", "urn:uuid:1234");
    const std::string text = card.text();
    const std::vector<std::string> problems = checkVCard4(text);
    EXPECT_TRUE(problems.empty()) << problems.front() << "\n" << text;
    const std::vector<VCard> read = VCard::parse(text);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].name(), name);
    EXPECT_EQ(read[0].pagerInfo(), "555,,1234/12");
    EXPECT_EQ(read[0].version(), "4.0");
}

struct ForeignCase
{
    const char* label;
    std::string text;
    std::string name;
    std::string pagerInfo;
};

class VCardForeign : public testing::TestWithParam<ForeignCase>
{ };

TEST_P(VCardForeign, ReadsCardsOfCommonTools)
{
    const std::vector<VCard> cards = VCard::parse(GetParam().text);
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].name(), GetParam().name);
    EXPECT_EQ(cards[0].pagerInfo(), GetParam().pagerInfo);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, VCardForeign,
    testing::Values(
        ForeignCase {"v3UpperCase",
                     "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Jones;Pat;;;\r\nFN:Pat Jones\r\n"
                     "TEL;TYPE=CELL:+1 555 0100\r\nTEL;TYPE=PAGER:555-1234/12\r\nEND:VCARD\r\n",
                     "Pat Jones", "555-1234/12"},
        ForeignCase {"lowerCaseAndLf",
                     "begin:vcard\nversion:3.0\nfn:Lee\ntel;type=pager:host!7\nend:vcard\n", "Lee",
                     "host!7"},
        ForeignCase {"quotedTypeList",
                     "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Kim\r\n"
                     "TEL;TYPE=\"voice,pager\";VALUE=text:12/3\r\nEND:VCARD\r\n",
                     "Kim", "12/3"},
        ForeignCase {
            "groupedProperty",
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Sam\r\nitem1.TEL;type=pager;type=pref:9/9\r\n"
            "item1.X-ABLabel:pager\r\nEND:VCARD\r\n",
            "Sam", "9/9"},
        ForeignCase {"oldBareType",
                     "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe;Jo\r\nTEL;PAGER:555/1\r\nEND:VCARD\r\n",
                     "Jo Doe", "555/1"},
        ForeignCase {
            "telUri",
            "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Uri\r\nTEL;VALUE=uri;TYPE=pager:tel:+1-555-0100"
            "\r\nEND:VCARD\r\n",
            "Uri", "+1-555-0100"},
        ForeignCase {
            "foldedLines",
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A very long na\r\n me that was\r\n\t folded\r\n"
            "TEL;TYPE=PA\r\n GER:55\r\n 5/1\r\nEND:VCARD\r\n",
            "A very long name that was folded", "555/1"},
        ForeignCase {"noPager",
                     "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Nobody\r\nTEL;TYPE=HOME:1\r\nEND:VCARD\r\n",
                     "Nobody", ""},
        ForeignCase {"missingEnd", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Cut\r\nTEL;TYPE=PAGER:1/1\r\n",
                     "Cut", "1/1"}),
    [](const auto& p) { return p.param.label; });

TEST(VCard, TwoCardsInOneFileAndTextAroundThem)
{
    const std::vector<VCard> cards
        = VCard::parse("junk\r\nBEGIN:VCARD\r\nFN:One\r\nEND:VCARD\r\n\r\nBEGIN:VCARD\r\nFN:Two"
                       "\r\nEND:VCARD\r\n");
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[0].name(), "One");
    EXPECT_EQ(cards[1].name(), "Two");
}

TEST(VCard, SetPagerInfoChangesOnlyThePagerLine)
{
    const std::string original
        = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Pat\r\nitem2.TEL;type=PAGER:old\r\n"
          "EMAIL:pat@example.com\r\nX-CUSTOM;P=1:kept\r\nEND:VCARD\r\n";
    std::vector<VCard> cards = VCard::parse(original);
    ASSERT_EQ(cards.size(), 1u);
    cards[0].setPagerInfo("555,,1/2");
    EXPECT_EQ(cards[0].text(),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Pat\r\nitem2.TEL;type=PAGER:"
              "555\\,\\,1/2\r\nEMAIL:pat@example.com\r\nX-CUSTOM;P=1:kept\r\n"
              "END:VCARD\r\n");
    EXPECT_EQ(cards[0].pagerInfo(), "555,,1/2");
    cards[0].setPagerInfo("");
    EXPECT_EQ(cards[0].text(),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Pat\r\nEMAIL:pat@example.com\r\n"
              "X-CUSTOM;P=1:kept\r\nEND:VCARD\r\n");
    cards[0].setPagerInfo("9/9");
    EXPECT_EQ(cards[0].text(),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Pat\r\nEMAIL:pat@example.com\r\n"
              "X-CUSTOM;P=1:kept\r\nTEL;TYPE=PAGER:9/9\r\nEND:VCARD\r\n");
}

TEST(VCard, SetPagerInfoReplacesAUriValueWithAText)
{
    std::vector<VCard> cards = VCard::parse(
        "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:U\r\nUID:x\r\nTEL;VALUE=uri;TYPE=pager:tel:1\r\n"
        "END:VCARD\r\n");
    ASSERT_EQ(cards.size(), 1u);
    cards[0].setPagerInfo("host!5");
    EXPECT_NE(cards[0].text().find("\r\nTEL;VALUE=text;TYPE=pager:host!5\r\n"), std::string::npos);
    EXPECT_TRUE(checkVCard4(cards[0].text()).empty()) << cards[0].text();
}

TEST(VCard, ALineBreakInAVersion21PagerStartsNoNewCard)
{
    std::vector<VCard> cards = VCard::parse(
        "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Bob\r\nTEL;PAGER:5551212\r\nEND:VCARD\r\n");
    ASSERT_EQ(cards.size(), 1u);
    cards[0].setPagerInfo("5551212\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:Mallory");
    const std::vector<VCard> again = VCard::parse(cards[0].text());
    ASSERT_EQ(again.size(), 1u) << cards[0].text();
    EXPECT_EQ(again[0].name(), "Bob");
    EXPECT_EQ(again[0].pagerInfo(), "5551212  END:VCARD  BEGIN:VCARD  FN:Mallory");
}

} // namespace
