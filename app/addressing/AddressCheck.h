#pragma once

#include <string_view>

// What checkAddress found out about an entered recipient.
enum class AddressCheck {
    CheckNone = 0, // before any test
    CheckOk = 1, // an Ixo or Snpp address
    CheckMalformed = 2, // the address does not parse
    CheckNotInAddressBook = 3, // neither an address nor an address-book entry with one
    CheckNoProtocol = 4, // an address no driver serves (Analog)
};

// The kind's name as written in the code ("CheckOk", ...), "Unknown" otherwise.
std::string_view addressCheckName(AddressCheck kind);
