// Fuzzes the pager address grammar and parser with any text. Checked against the grammar's
// rules: the type follows the separators; a well-formed address with a phone part (or host)
// and a PIN that fits parses; a parsed address formats to a canonical text no longer than
// the input that parses to the same record; a failure names one of the three address errors
// with a bounded text; translating (here without a provider database) never accepts more.
#include "FuzzCheck.h"
#include "addressing/AddressGrammar.h"
#include "addressing/AddressParser.h"
#include "addressing/PagerAddress.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void require(bool holds, const char* what)
{
    fuzzRequire(holds, "fuzz_address", what);
}

bool only(std::string_view text, std::string_view characters)
{
    return text.find_first_not_of(characters) == std::string_view::npos;
}

// The value of a run of digits, or -1 when it does not fit 32 bits.
std::int64_t digitsValue(std::string_view digits)
{
    std::int64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
        if (value > INT32_MAX) {
            return -1;
        }
    }
    return value;
}

bool sameRecord(const PagerAddress& a, const PagerAddress& b)
{
    return a.type == b.type && a.number == b.number && a.pin == b.pin;
}

void checkFailure(const AddressParser& parser)
{
    const std::int32_t code = parser.lastAddressErrorCode();
    require(code == 0x3008F || code == 0x30090 || code == 0x30091, "one of the address errors");
    require(!parser.lastAddressError().empty()
                && parser.lastAddressError().size() <= AddressError::maxTextLength,
            "error text bounded");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t slash = text.find('/');
    const std::size_t bang = text.find('!');
    const std::size_t separator = slash != std::string_view::npos ? slash : bang;

    const AddressType type = AddressGrammar::getAddressType(text);
    require(type
                == (slash != std::string_view::npos      ? AddressType::Ixo
                        : bang != std::string_view::npos ? AddressType::Snpp
                                                         : AddressType::Analog),
            "type by separator");
    const bool wellFormed = AddressGrammar::isAddressWellFormed(text);
    require(wellFormed
                == (separator == std::string_view::npos
                        ? only(text, "0123456789+,-")
                        : only(text.substr(separator + 1), "0123456789")),
            "syntax check");

    AddressParser parser;
    PagerAddress address;
    const bool parsed = parser.parseAddress(text, address, false);
    if (!parsed) {
        checkFailure(parser);
    }
    if (wellFormed && text.size() <= PagerAddress::maxTextLength) {
        const std::string_view front = text.substr(0, separator);
        const std::string_view pin
            = separator == std::string_view::npos ? std::string_view() : text.substr(separator + 1);
        const std::int64_t value = digitsValue(pin);
        bool expected = true;
        if (type == AddressType::Ixo) {
            expected = !front.empty() && value > 0;
        } else if (type == AddressType::Snpp) {
            // The host is what stands before the first "!" after any leading ones.
            expected = front.find_first_not_of('!') != std::string_view::npos && !pin.empty()
                && value >= 0;
        }
        require(parsed == expected, "a well-formed address parses unless its parts are bad");
    }
    if (parsed) {
        require(address.type == type, "parsed type");
        require(address.number.size() <= PagerAddress::maxTextLength, "number fits");
        require(type != AddressType::Analog || (address.number == text && address.pin == 0),
                "an analog address is its number");
        const std::string canonical = AddressGrammar::formatAddress(address);
        require(canonical.size() <= text.size(), "canonical text no longer");
        PagerAddress again;
        AddressParser second;
        require(second.parseAddress(canonical, again, false) && sameRecord(again, address),
                "canonical text parses to the same record");
        require(AddressGrammar::formatAddress(again) == canonical, "canonical text is stable");
    }

    PagerAddress translated;
    AddressParser translating;
    if (translating.parseAddress(text, translated, true)) {
        require(parsed && sameRecord(translated, address),
                "a dialable phone part translates to itself");
        require(type != AddressType::Ixo || AddressGrammar::isDialable(translated.number),
                "without providers only dialable numbers pass");
    } else {
        checkFailure(translating);
    }
    return 0;
}
