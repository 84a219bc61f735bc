#include "log/LogLevel.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

constexpr std::array<std::string_view, 13> shortNames
    = {"None",   "Fatal",  "Errors", "Security", "Trans",  "Info",  "Debug",
       "Debug1", "Debug2", "Debug3", "Debug4",   "Debug5", "Debug6"};

bool sameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x))
                   == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::string_view LogLevel::shortName(int level)
{
    if (level < None || level > Highest) {
        return "Bad";
    }
    return shortNames[static_cast<std::size_t>(level)];
}

int LogLevel::fromText(std::string_view text)
{
    int number = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc() && end == text.data() + text.size()) {
        return number >= None && number <= Highest ? number : -1;
    }
    for (int level = None; level <= Highest; ++level) {
        const auto index = static_cast<std::size_t>(level);
        if (sameText(text, shortNames[index]) || sameText(text, optionsNames[index])) {
            return level;
        }
    }
    return -1;
}
