#pragma once

#include <cstdint>

// The dispatch numbers of one driver control's members; they differ between the drivers.
struct DriverDispatchIds
{
    std::int32_t debugLevel; // property, 32-bit integer
    std::int32_t providerName; // property, text
    std::int32_t clientName; // property, text
    std::int32_t send; // method (text) -> 32-bit integer
    std::int32_t addMessage; // method (text, text) -> 32-bit integer
    std::int32_t clear; // method ()
    std::int32_t showProperties; // method ()
    std::int32_t getMessageCount; // method () -> 32-bit integer
    std::int32_t getMessageResultCode; // method (16-bit integer) -> 32-bit integer
    std::int32_t aboutBox; // method ()
};
