#pragma once

#include <optional>
#include <string>
#include <string_view>

// The commands the gateway understands; any other line is Unknown.
enum class CommandKind { Page, Mess, Rese, Send, Help, Quit, Login, Level, Unknown };

// One command line as the gateway reads it: the command and, for PAGE and MESS, the argument
// (none when the line has no blank before its first control byte).
struct GatewayCommand
{
    CommandKind kind = CommandKind::Unknown;
    std::optional<std::string> argument;

    // Recognises the command by the line's first four characters without regard to case
    // (PAGER, page and PAGE are all PAGE). LOGI and LEVE are commands only with level2Login.
    // A PAGE or MESS line ends before its first byte below 0x20 or above 0x7F; its argument is
    // everything after the first blank of what remains, leading blanks included.
    static GatewayCommand parse(std::string_view line, bool level2Login);
};
