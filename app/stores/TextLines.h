#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// The lines of a text store file as its readers see them. A line ends in CR LF, in LF or in
// CR alone (files written by other systems' editors), so a file with any of these line ends
// gives the same lines; a last line without a line end counts.
namespace TextLines {

// The lines of `bytes` without their line ends, at most `limit` of them.
std::vector<std::string_view> split(std::string_view bytes,
                                    std::size_t limit = static_cast<std::size_t>(-1));
// Whether `bytes` ends in a line end (or is empty), so that a line can be appended as it is.
bool endsWithLineEnd(std::string_view bytes);

} // namespace TextLines
