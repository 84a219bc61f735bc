#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Helpers for the length limits of stored and shown texts. Texts are UTF-8 byte strings;
// a "character" is a code point (bytes that are not UTF-8 continuation bytes), as SQLite
// counts them.
class TextLimits
{
public:
    // The number of characters in the text.
    static std::size_t characterCount(std::string_view text);
    // The text cut to at most maxBytes bytes, never inside a multi-byte character.
    static std::string cutToBytes(std::string_view text, std::size_t maxBytes);
    // The text without trailing blanks (spaces only, as fixed-width fields pad).
    static std::string_view trimTrailingBlanks(std::string_view text);
    // Whether the two texts are equal without regard to ASCII case.
    static bool equalsNoCase(std::string_view a, std::string_view b);
    // Whether the text starts with the prefix without regard to ASCII case.
    static bool startsWithNoCase(std::string_view text, std::string_view prefix);
};
