#pragma once

#include "addressing/AddressError.h"
#include "addressing/PagerAddress.h"

#include <optional>
#include <string>
#include <string_view>

class ProviderDatabase;

// Parses pager address texts into PagerAddress records, translating provider names of Ixo
// addresses through the provider database. The last address error belongs to this object:
// use one parser per call or per thread, and read the error right after a failed parse.
class AddressParser
{
public:
    // A parser that translates through `providers` (no translation of names when null).
    explicit AddressParser(ProviderDatabase* providers = nullptr);

    // Parses the text into `address` (cleared first). With `translate`, the phone part of an
    // Ixo address that is not dialable is taken as a provider name and replaced by its number.
    // False with the last address error set (messages 143, 144, 145); a success leaves an
    // earlier error as it was.
    [[nodiscard]] bool parseAddress(std::string_view text, PagerAddress& address, bool translate);
    // The dialable number of an Ixo phone part: the part itself when it holds only dial
    // characters, else the number of the provider of that name; nothing when there is none.
    std::optional<std::string> translatePhoneNumber(std::string_view phone) const;

    // The text of the last failed parse ("" when none failed).
    const std::string& lastAddressError() const { return m_error.text; }
    // The code of the last failed parse: 0x30000 plus the message id (0 when none failed).
    std::int32_t lastAddressErrorCode() const { return m_error.code; }

    // The value of a PIN text as a C library would read it (leading white space, one sign,
    // the leading digits; 0 without digits); false when the value does not fit 32 bits.
    [[nodiscard]] static bool pinValue(std::string_view text, std::int32_t& value);

private:
    bool fail(int stringId, std::string_view argument = {});

    ProviderDatabase* m_providers;
    AddressError m_error;
};
