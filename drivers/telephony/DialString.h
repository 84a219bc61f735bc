#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The number a line dials: translated for the dialling location, and checked before it goes
// into a modem's dial command.
namespace DialString {

// The longest translated number a line dials.
inline constexpr std::size_t maxLength = 239;

// The dialable text for the number: the local access code, one blank, the number; with no
// access code a blank followed by the number; "" for an empty number.
std::string translate(std::string_view localAccessCode, std::string_view number);
// Whether the text may follow a Hayes dial prefix: not empty, at most maxLength characters,
// and only dial characters (digits, * # A-D, pause and wait modifiers, P T, blanks and the
// formatting characters - ( ) . +). A CR, a ";" or any other AT command text is refused so
// that a number can never smuggle a command to the modem. `why` says what is wrong.
bool isDialable(std::string_view text, std::string& why);

} // namespace DialString
