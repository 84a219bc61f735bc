#pragma once

#include <cstdint>
#include <string_view>

// Numbers read from text the way the C library reads them, where stored files, settings and
// protocol fields rely on that reading: leading blanks, an optional sign, then the leading
// digits; text without digits reads as 0.
namespace TextNumber {

// strtol's reading in base 10: out-of-range values stop at LONG_MAX or LONG_MIN.
long leading(std::string_view text);
// atoi's reading: leading() taken to 32 bits, as the C library's conversion to int does.
std::int32_t atoi(std::string_view text);

} // namespace TextNumber
