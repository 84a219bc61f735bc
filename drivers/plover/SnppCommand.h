#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The command lines the SNPP engine sends, each ended by carriage return and line feed.
namespace SnppCommand {

// "PAGER %d\r\n" with the pager identifier (a negative one keeps its minus sign).
std::string pager(std::int32_t pagerId);
// "MESSAGE %s\r\n" with the whole text; line breaks and other control bytes go out as blanks,
// so a text can never end the line early and smuggle in further commands.
std::string message(std::string_view text);
// "SEND\r\n".
std::string send();
// "RESE\r\n": makes the server forget the pager and message of an unfinished page.
std::string reset();
// "QUIT\r\n".
std::string quit();

} // namespace SnppCommand
