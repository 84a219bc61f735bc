// Recognising commands and splitting the byte stream into command lines, without sockets.
#include "gateway/GatewayCommand.h"
#include "gateway/GatewayReply.h"
#include "gateway/LineAssembler.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

struct ParseCase
{
    std::string line;
    bool level2Login;
    CommandKind kind;
    std::optional<std::string> argument;
};

// Shown by ctest and gtest: the line, its bytes outside printable ASCII as hex.
void PrintTo(const ParseCase& c, std::ostream* out)
{
    for (char ch : c.line) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x20 && byte < 0x7F) {
            *out << ch;
        } else {
            *out << "<" << std::hex << static_cast<int>(byte) << std::dec << ">";
        }
    }
    *out << (c.level2Login ? " (level 2)" : "");
}

class CommandParsing : public testing::TestWithParam<ParseCase>
{ };

TEST_P(CommandParsing, FirstFourCharactersWithoutRegardToCase)
{
    const ParseCase& c = GetParam();
    const GatewayCommand command = GatewayCommand::parse(c.line, c.level2Login);
    EXPECT_EQ(command.kind, c.kind) << c.line;
    EXPECT_EQ(command.argument, c.argument) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandParsing,
    testing::Values(ParseCase {"PAGE 1234", false, CommandKind::Page, "1234"},
                    ParseCase {"page 1234", false, CommandKind::Page, "1234"},
                    ParseCase {"PAGER 1234", false, CommandKind::Page, "1234"},
                    ParseCase {"PaGeXyZ 1234 5", false, CommandKind::Page, "1234 5"},
                    // Leading blanks of the argument stay; without a blank there is no argument.
                    ParseCase {"PAGE   42", false, CommandKind::Page, "  42"},
                    ParseCase {"PAGE", false, CommandKind::Page, std::nullopt},
                    ParseCase {"PAGE ", false, CommandKind::Page, ""},
                    ParseCase {"PAGE\t1234", false, CommandKind::Page, std::nullopt},
                    ParseCase {"MESS hello world", false, CommandKind::Mess, "hello world"},
                    ParseCase {"MESS hello\tworld", false, CommandKind::Mess, "hello"},
                    ParseCase {"MESS caf\xc3\xa9 au lait", false, CommandKind::Mess, "caf"},
                    ParseCase {"MESS a\x01z", false, CommandKind::Mess, "a"},
                    ParseCase {"MESS del\x7f is text", false, CommandKind::Mess, "del\x7f is text"},
                    ParseCase {"MESSAGE x", false, CommandKind::Mess, "x"},
                    ParseCase {"RESET", false, CommandKind::Rese, std::nullopt},
                    ParseCase {"SENDNOW", false, CommandKind::Send, std::nullopt},
                    ParseCase {"send extra words", false, CommandKind::Send, std::nullopt},
                    ParseCase {"HELPME", false, CommandKind::Help, std::nullopt},
                    ParseCase {"QUITTING", false, CommandKind::Quit, std::nullopt},
                    ParseCase {"quit", false, CommandKind::Quit, std::nullopt},
                    ParseCase {"QUI", false, CommandKind::Unknown, std::nullopt},
                    ParseCase {"", false, CommandKind::Unknown, std::nullopt},
                    ParseCase {" PAGE 1", false, CommandKind::Unknown, std::nullopt},
                    ParseCase {"DATA", false, CommandKind::Unknown, std::nullopt},
                    ParseCase {"LOGI user secret", false, CommandKind::Unknown, std::nullopt},
                    ParseCase {"LEVE 1", false, CommandKind::Unknown, std::nullopt},
                    ParseCase {"LOGI user secret", true, CommandKind::Login, std::nullopt},
                    ParseCase {"leve 1", true, CommandKind::Level, std::nullopt},
                    ParseCase {"SITE HELP NOTIFY", true, CommandKind::Unknown, std::nullopt}),
    [](const testing::TestParamInfo<ParseCase>& param) {
        // The index keeps names unique; the line's letters and digits make them readable.
        std::string name = "L" + std::to_string(param.index) + "_";
        for (char c : param.param.line.substr(0, 16)) {
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
                name += c;
            }
        }
        return name;
    });

TEST(GatewayReply, WireTextIsThreeDigitsBlankTextAndOneLineFeed)
{
    EXPECT_EQ((GatewayReply {250, "ID accepted"}.wireText()), "250 ID accepted\n");
    EXPECT_EQ((GatewayReply {7, "x"}.wireText()), "007 x\n");
    EXPECT_EQ((GatewayReply {400, "Read timeout  ()"}.wireText()), "400 Read timeout  ()\n");
}

// Feeds the bytes one at a time and collects the completed lines.
std::vector<std::string> split(const std::string& bytes, std::string* rest = nullptr)
{
    LineAssembler assembler;
    std::vector<std::string> lines;
    for (char byte : bytes) {
        if (assembler.push(byte)) {
            lines.push_back(assembler.takeLine());
        }
    }
    if (rest != nullptr) {
        *rest = assembler.partial();
    }
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LineAssembler, NulLineFeedAndCarriageReturnEndLinesAndEmptyLinesAreSkipped)
{
    EXPECT_EQ(split("PAGE 1\r\nMESS x\r\n"), (Lines {"PAGE 1", "MESS x"}));
    EXPECT_EQ(split("PAGE 1\nMESS x\rSEND\0QUIT\0"s), (Lines {"PAGE 1", "MESS x", "SEND", "QUIT"}));
    EXPECT_EQ(split("\r\n\r\n\n\rHELP\n\n\n"), (Lines {"HELP"}));
    std::string rest;
    EXPECT_EQ(split("HELP\nPAG", &rest), (Lines {"HELP"}));
    EXPECT_EQ(rest, "PAG");
}

TEST(LineAssembler, A2000CharacterLineIsOneLineOf1023AndTheRestFollows)
{
    const std::string bytes = std::string(2000, 'a') + "\r\n";
    const Lines lines = split(bytes);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0], std::string(1023, 'a'));
    EXPECT_EQ(lines[1], std::string(977, 'a'));
}

TEST(LineAssembler, ALineOfExactly1023EndsThereAndItsLineEndIsAnEmptyLine)
{
    const Lines lines = split(std::string(1023, 'b') + "\r\nQUIT\r\n");
    EXPECT_EQ(lines, (Lines {std::string(1023, 'b'), "QUIT"}));
    EXPECT_EQ(split(std::string(3 * 1023, 'c')).size(), 3U);
}

TEST(LineAssembler, ABytePushedWhileALineWaitsIsNotTaken)
{
    LineAssembler assembler;
    for (char byte : std::string("AB\n")) {
        (void)assembler.push(byte);
    }
    ASSERT_TRUE(assembler.hasLine());
    EXPECT_TRUE(assembler.push('Z'));
    EXPECT_EQ(assembler.takeLine(), "AB");
    EXPECT_FALSE(assembler.hasLine());
    EXPECT_EQ(assembler.partial(), "");
}

} // namespace
