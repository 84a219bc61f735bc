#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Log and status texts of the drivers carry "%d" and "%s" placeholders. The frame fills them
// itself instead of handing a text chosen at run time to printf, so a placeholder can never
// read an argument that is not there.
namespace FrameText {

// The pattern with each "%d" or "%s", in order, replaced by the next value; placeholders
// beyond the values are left as they stand, values beyond the placeholders are dropped.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values);
// fill() with one number.
std::string fill(std::string_view pattern, long long number);
// fill() with two numbers.
std::string fill(std::string_view pattern, long long first, long long second);

} // namespace FrameText
