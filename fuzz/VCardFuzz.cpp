// Fuzzes the vCard reader and writer of the Internet address book. The input is split at
// 0x00 bytes into a vCard file, a pager number and a name. Checked: every card read writes
// out and reads back the same; changing its pager number gives a card that reads back with
// that number and its name unchanged; folding keeps lines within 75 bytes and joins back to
// the line it folded; a new card made from the name and number reads back with both.
#include "FuzzCheck.h"
#include "directories/VCard.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void require(bool holds, const char* what)
{
    fuzzRequire(holds, "fuzz_vcard", what);
}

std::string_view field(std::string_view& rest)
{
    const std::size_t zero = rest.find('\0');
    const std::string_view taken = rest.substr(0, zero);
    rest.remove_prefix(zero == std::string_view::npos ? rest.size() : zero + 1);
    return taken;
}

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// A text value as it reads back: line breaks become one LF, blanks around it go.
std::string readBack(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            out += '\n';
        } else {
            out += text[i];
        }
    }
    return trimmed(out);
}

bool startsWithTel(std::string_view text)
{
    return text.size() >= 4 && (text[0] | 0x20) == 't' && (text[1] | 0x20) == 'e'
        && (text[2] | 0x20) == 'l' && text[3] == ':';
}

// A number as a user types it: printable ASCII without the backslash, which vCard 2.1
// leaves unescaped, and without blanks at its ends or a "tel:" in front.
bool isPlainNumber(std::string_view number)
{
    return !number.empty() && !startsWithTel(number) && number.front() != ' '
        && number.back() != ' ' && std::all_of(number.begin(), number.end(), [](char c) {
               return c >= 0x20 && c < 0x7f && c != '\\';
           });
}

void checkFold(std::string_view line)
{
    const std::vector<std::string> pieces = VCard::fold(line);
    require(!pieces.empty(), "a folded line has a piece");
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        require(pieces[i].size() <= VCard::maxLineBytes, "folded lines fit");
        require(i == 0 || (pieces[i].size() > 1 && pieces[i][0] == ' '),
                "a continuation starts with a blank and carries text");
        joined += i == 0 ? pieces[i] : pieces[i].substr(1);
    }
    require(joined == line, "folded pieces join to the line");
}

void checkReadBack(const VCard& card)
{
    const std::vector<VCard> again = VCard::parse(card.text());
    require(again.size() == 1, "a written card reads back as one card");
    require(again[0].text() == card.text(), "a written card is written the same");
    require(again[0].name() == card.name() && again[0].pagerInfo() == card.pagerInfo()
                && again[0].version() == card.version(),
            "a written card reads back the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view file = field(rest);
    const std::string_view pager = field(rest);
    const std::string_view name = field(rest);

    std::vector<VCard> cards = VCard::parse(file);
    require(cards.size() <= file.size() / 11, "no more cards than BEGIN lines");
    for (VCard& card : cards) {
        checkReadBack(card);
        const std::string before = card.name();
        card.setPagerInfo(pager);
        checkReadBack(card);
        require(card.name() == before, "the name stays when the pager changes");
        if (isPlainNumber(pager)) {
            require(card.pagerInfo() == pager, "the pager number reads back");
        }
    }

    checkFold(pager);
    checkFold(name);
    const VCard made = VCard::make(name, pager, "7d4c9a40-0d4b-4c2e-9a47-2f1c8f0e6b11");
    checkReadBack(made);
    require(made.name() == readBack(name), "a new card's name reads back");
    std::string number = readBack(pager);
    if (startsWithTel(number)) {
        number.erase(0, 4);
    }
    require(made.pagerInfo() == number, "a new card's pager number reads back");
    require(made.version() == "4.0", "a new card is version 4.0");
    return 0;
}
