#include "addressing/AddressGrammar.h"

namespace {

bool consistsOf(std::string_view text, std::string_view characters)
{
    return text.find_first_not_of(characters) == std::string_view::npos;
}

} // namespace

bool AddressGrammar::isAddressWellFormed(std::string_view text)
{
    std::size_t separator = text.find(ixoSeparator);
    if (separator == std::string_view::npos) {
        separator = text.find(snppSeparator);
    }
    if (separator != std::string_view::npos) {
        // Only PIN digits may follow, which also rules out a second separator.
        return consistsOf(text.substr(separator + 1), pinCharacters);
    }
    return consistsOf(text, analogCharacters);
}

AddressType AddressGrammar::getAddressType(std::string_view text)
{
    if (text.find(ixoSeparator) != std::string_view::npos) {
        return AddressType::Ixo;
    }
    if (text.find(snppSeparator) != std::string_view::npos) {
        return AddressType::Snpp;
    }
    return AddressType::Analog;
}

std::string AddressGrammar::formatAddress(const PagerAddress& address)
{
    switch (address.type) {
    case AddressType::Ixo:
        return address.number + std::string(ixoSeparator) + std::to_string(address.pin);
    case AddressType::Analog:
        return address.number;
    case AddressType::Snpp:
        return address.number + std::string(snppSeparator) + std::to_string(address.pin);
    case AddressType::Invalid:
        break;
    }
    return "BadAddr(" + std::to_string(static_cast<std::int32_t>(address.type)) + "-"
        + std::to_string(address.pin) + ")";
}

bool AddressGrammar::isDialable(std::string_view phone)
{
    return consistsOf(phone, dialCharacters);
}
