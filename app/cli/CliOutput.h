#pragma once

#include "cli/CliCommand.h"

#include <string>
#include <string_view>

// How norvane-cli reports: errors on stderr prefixed with the program's name.
namespace CliOutput {

// Prints "norvane-cli: <text>" on stderr and returns the failure exit code.
ExitCode fail(std::string_view text);
// Prints "norvane-cli: <text>" and the command's usage on stderr; returns the usage exit code.
ExitCode usageError(std::string_view text, std::string_view usage);
// A usage error for a word the command does not take: 'unexpected argument "<word>"'.
ExitCode unexpectedArgument(std::string_view word, std::string_view usage);
// Prints the usage (help) text on stdout; returns success.
ExitCode help(std::string_view usage);
// Flushes stdout and returns `code`, or says on stderr that the output could not be written
// (a full disk, a closed pipe) and returns the failure code: output lost is never success.
ExitCode finish(ExitCode code);
// Stored text as it may be printed to a terminal: control bytes (C0, DEL and the C1 range,
// also UTF-8-encoded) are shown as \xNN, tab, CR and LF as \t, \r and \n, and the backslash
// as \\, so that stored escape sequences never reach the terminal and the text can be read
// back unambiguously. Other bytes (UTF-8 or a code page's letters) are kept.
std::string printable(std::string_view text);

} // namespace CliOutput
