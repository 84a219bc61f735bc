#pragma once

#include <string>

class SendReporter;

// Text helpers of the SNPP driver: printf-style formatting for status texts and log lines.
namespace PloverText {

// The text printf would print for the format and arguments.
std::string format(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes one line at the level to the reporter's log, with the reporter's origin tag.
void log(SendReporter& reporter, int level, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

} // namespace PloverText
