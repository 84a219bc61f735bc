#include "addressing/AddressParser.h"

#include "addressing/AddressGrammar.h"
#include "directories/ProviderDatabase.h"
#include "text/StringTable.h"
#include "text/TextLimits.h"
#include "text/TextNumber.h"

#include <climits>
#include <cstdint>
#include <vector>

namespace {

// The non-empty pieces between runs of the separator, as strtok gives them.
std::vector<std::string_view> tokens(std::string_view text, char separator)
{
    std::vector<std::string_view> result;
    std::size_t start = 0;
    while (start < text.size()) {
        if (text[start] == separator) {
            ++start;
            continue;
        }
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        result.push_back(text.substr(start, end - start));
        start = end;
    }
    return result;
}

} // namespace

AddressParser::AddressParser(ProviderDatabase* providers)
    : m_providers(providers)
{ }

bool AddressParser::pinValue(std::string_view text, std::int32_t& value)
{
    // The C library's reading, which clamps what does not fit a long; anything beyond 32 bits
    // would page another pager once cut, so it is refused.
    const long number = TextNumber::leading(text);
    if (number > INT32_MAX || number < INT32_MIN) {
        return false;
    }
    value = static_cast<std::int32_t>(number);
    return true;
}

std::optional<std::string> AddressParser::translatePhoneNumber(std::string_view phone) const
{
    if (AddressGrammar::isDialable(phone)) {
        return std::string(phone);
    }
    std::string number;
    if (m_providers && m_providers->getPhone(phone, number)) {
        return number;
    }
    return std::nullopt;
}

bool AddressParser::parseAddress(std::string_view text, PagerAddress& address, bool translate)
{
    address = PagerAddress();
    address.type = AddressGrammar::getAddressType(text);
    const std::size_t slash = text.rfind('/');
    if (text.size() > PagerAddress::maxTextLength) {
        // Too long for the record: refused rather than cut, since a cut number pages someone
        // else.
        return fail(StringId::BadProviderPhone,
                    slash != std::string_view::npos ? text.substr(0, slash) : text);
    }
    switch (address.type) {
    case AddressType::Analog:
        address.number = std::string(text);
        return true;
    case AddressType::Ixo: {
        if (slash == std::string_view::npos) {
            return fail(StringId::MissingSeparator);
        }
        const std::string_view phone = text.substr(0, slash);
        const std::string_view pinText = text.substr(slash + 1);
        std::optional<std::string> number
            = translate ? translatePhoneNumber(phone) : std::optional<std::string>(phone);
        if (!number || number->empty() || number->size() > PagerAddress::maxTextLength) {
            return fail(StringId::BadProviderPhone, phone);
        }
        address.number = std::move(*number);
        if (!pinValue(pinText, address.pin) || address.pin == 0) {
            address.pin = 0;
            return fail(StringId::BadPin, pinText);
        }
        return true;
    }
    case AddressType::Snpp: {
        const std::vector<std::string_view> parts = tokens(text, '!');
        if (parts.empty()) {
            return fail(StringId::MissingSeparator);
        }
        address.number = std::string(parts[0]);
        if (parts.size() < 2) {
            return fail(StringId::BadProviderPhone, text);
        }
        if (!pinValue(parts[1], address.pin)) {
            address.pin = 0;
            return fail(StringId::BadPin, parts[1]);
        }
        return true;
    }
    case AddressType::Invalid:
        break;
    }
    return fail(StringId::MissingSeparator);
}

bool AddressParser::fail(int stringId, std::string_view argument)
{
    m_error.text = TextLimits::cutToBytes(StringTable::format(stringId, {argument}),
                                          AddressError::maxTextLength);
    m_error.code = StringTable::errorCode(stringId);
    return false;
}
