#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The "Logging" page's values and rules: the history's length, the log level and the log size
// shown as the auto-purge limit, with the texts of the two number fields as the user typed them.
struct LoggingOptionsForm
{
    // What a field that reads as 0 (or as no number) stores instead.
    static constexpr std::int32_t defaultSavedCount = 20;
    static constexpr std::int32_t defaultLogSize = 50;
    // The "Log Level" items; the selected index is the stored level.
    static constexpr std::array<std::string_view, 13> levelNames {
        "Disable Logging", "Fatal Errors", "Errors",     "Security",  "Transactions",
        "Information",     "Debug",        "Debug (1)",  "Debug (2)", "Debug (3)",
        "Debug (4)",       "Debug (5)",    "Debug (All)"};

    // "Max. saved messages" as typed.
    std::string maxSavedCount;
    // The selected "Log Level" item (-1: none).
    int logLevel = 4;
    // The auto-purge size in kilobytes as typed.
    std::string maxLogSize;

    // The stored values (a stored level outside the list selects none).
    static LoggingOptionsForm load();
    // The number a field stores: its text read as a decimal number (leading blanks, then
    // digits; what follows them is ignored), or `fallback` when that reads as 0, holds no
    // digits, is negative or does not fit.
    static std::int32_t fieldValue(std::string_view text, std::int32_t fallback);
    // Writes the three values (no level selected keeps the stored one); false when the
    // settings store could not be written.
    [[nodiscard]] bool apply() const;
};
