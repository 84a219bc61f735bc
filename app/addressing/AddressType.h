#pragma once

#include <cstdint>
#include <string_view>

// The protocol a pager address is reached through, as its separator says.
enum class AddressType : std::int32_t { Invalid = 0, Ixo = 1, Analog = 2, Snpp = 3 };

// The display name of a type: "Invalid", "Ixo", "Analog", "Snpp", or "Unknown" for any other
// value.
std::string_view addressTypeName(AddressType type);
