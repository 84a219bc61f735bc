#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Entries of the settings tables: each names a value with its type and default, so that a
// key's values are declared once and read the same way everywhere.

// A string value and the buffer size its readers use (longer texts read the default).
struct StringSetting
{
    std::string_view name;
    std::string_view fallback;
    std::size_t bufferSize = 128;
    // A number stored instead reads as its decimal text (for values such as a port, which a
    // user may well store as either).
    bool numberAsText = false;
};

// A 32-bit number value.
struct NumberSetting
{
    std::string_view name;
    std::int32_t fallback;
    // A string holding a decimal number (blanks around it allowed) reads as that number.
    bool textAsNumber = false;
};

// A flag stored as the number 0 or 1.
struct BoolSetting
{
    std::string_view name;
    bool fallback;
};
