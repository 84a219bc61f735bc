#include "telephony/DialString.h"

#include <cstdio>

namespace {

// Blanks and the formatting characters are ignored by Hayes modems inside a dial string;
// they are allowed so that a number can be written as people write it.
constexpr std::string_view dialCharacters = "0123456789*#ABCDabcd,WwPpTt!@ -().+";

} // namespace

std::string DialString::translate(std::string_view localAccessCode, std::string_view number)
{
    if (number.empty()) {
        return {};
    }
    std::string text(localAccessCode);
    text += ' ';
    text += number;
    return text;
}

bool DialString::isDialable(std::string_view text, std::string& why)
{
    if (text.find_first_not_of(' ') == std::string_view::npos) {
        why = "there is no number to dial";
        return false;
    }
    if (text.size() > maxLength) {
        why = "the number is longer than " + std::to_string(maxLength) + " characters";
        return false;
    }
    const std::size_t bad = text.find_first_not_of(dialCharacters);
    if (bad != std::string_view::npos) {
        char shown[8];
        const auto byte = static_cast<unsigned char>(text[bad]);
        if (byte >= 0x20 && byte < 0x7F) {
            std::snprintf(shown, sizeof shown, "\"%c\"", text[bad]);
        } else {
            std::snprintf(shown, sizeof shown, "<%02x>", byte);
        }
        why = std::string("the number holds ") + shown + ", which a modem cannot dial";
        return false;
    }
    return true;
}
