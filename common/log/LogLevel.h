#pragma once

#include <array>
#include <string_view>

// Log levels 0 to 12: lower numbers are more important. A line is written when its level is
// at most the configured one.
namespace LogLevel {

inline constexpr int None = 0;
inline constexpr int Fatal = 1;
inline constexpr int Errors = 2;
inline constexpr int Security = 3;
inline constexpr int Trans = 4;
inline constexpr int Info = 5;
inline constexpr int Debug = 6;
inline constexpr int Debug1 = 7;
inline constexpr int Debug2 = 8;
inline constexpr int Debug3 = 9;
inline constexpr int Debug4 = 10;
inline constexpr int Debug5 = 11;
inline constexpr int Debug6 = 12;
inline constexpr int Highest = Debug6;

// The short name of a level for the log viewer's level column ("Bad" outside 0 to 12).
std::string_view shortName(int level);

// The names of the Options sheet's level list; the item index is the level itself.
inline constexpr std::array<std::string_view, 13> optionsNames
    = {"Disable Logging", "Fatal Errors", "Errors",     "Security",  "Transactions",
       "Information",     "Debug",        "Debug (1)",  "Debug (2)", "Debug (3)",
       "Debug (4)",       "Debug (5)",    "Debug (All)"};

// The names of the log viewer's level list: item p shows levels up to p + 1.
inline constexpr std::array<std::string_view, 12> viewerNames
    = {"Fatal Errors", "Errors",    "Security",  "Transactions", "Information", "Debug",
       "Debug (1)",    "Debug (2)", "Debug (3)", "Debug (4)",    "Debug (5)",   "Debug (All)"};

// The level a text names: a number 0 to 12, a short name or an options-list name (without
// regard to case); -1 when it names none.
int fromText(std::string_view text);

} // namespace LogLevel
