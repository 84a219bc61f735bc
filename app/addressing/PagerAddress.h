#pragma once

#include "addressing/AddressType.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A parsed pager address. `number` is the modem number (Ixo), the whole address (Analog) or
// the host with an optional ":port" (Snpp); `pin` the pager identifier (0 for Analog);
// `recipientText` what the user or caller gave, filled by the send pipeline for its reports.
struct PagerAddress
{
    // The longest address text, and so the longest number, in bytes.
    static constexpr std::size_t maxTextLength = 127;

    AddressType type = AddressType::Invalid;
    std::string number;
    std::int32_t pin = 0;
    std::string recipientText;
};
