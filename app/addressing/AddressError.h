#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// An address error: the message text (at most 127 bytes) and its code, 0x30000 plus the
// message's string-table id (0 while there is no error).
struct AddressError
{
    // The longest error text, in bytes.
    static constexpr std::size_t maxTextLength = 127;

    std::string text;
    std::int32_t code = 0;
};
