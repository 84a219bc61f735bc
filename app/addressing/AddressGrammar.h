#pragma once

#include "addressing/AddressType.h"
#include "addressing/PagerAddress.h"

#include <string>
#include <string_view>

// The textual forms of a pager address: "number/pin" (Ixo), "host!pin" (Snpp) and bare
// digits (Analog). These operations are pure and may run on any thread.
class AddressGrammar
{
public:
    // The separators, the PIN characters, the analog number characters and the dial
    // characters of an Ixo modem number.
    static constexpr std::string_view ixoSeparator = "/";
    static constexpr std::string_view snppSeparator = "!";
    static constexpr std::string_view pinCharacters = "0123456789";
    static constexpr std::string_view analogCharacters = "0123456789+,-";
    static constexpr std::string_view dialCharacters = "0123456789 -,DdTt";

    // The syntax check: behind the first "/" (else the first "!") only PIN digits, no second
    // separator (an empty rest passes); without a separator, only analog characters (the
    // empty text passes). The part in front of a separator is not examined.
    static bool isAddressWellFormed(std::string_view text);
    // Ixo when the text holds "/", else Snpp when it holds "!", else Analog; never Invalid.
    static AddressType getAddressType(std::string_view text);
    // The text form: "number/pin", "number", "number!pin", or "BadAddr(type-pin)" for a
    // record of no known type.
    static std::string formatAddress(const PagerAddress& address);
    // Whether every character of the text is a dial character (the empty text passes).
    static bool isDialable(std::string_view phone);
};
