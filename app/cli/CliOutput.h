#pragma once

#include "CliCommand.h"

#include <string_view>

// How norvane-cli reports: errors on stderr prefixed with the program's name.
namespace CliOutput {

// Prints "norvane-cli: <text>" on stderr and returns the failure exit code.
ExitCode fail(std::string_view text);
// Prints "norvane-cli: <text>" and the command's usage on stderr; returns the usage exit code.
ExitCode usageError(std::string_view text, std::string_view usage);
// Prints the usage (help) text on stdout; returns success.
ExitCode help(std::string_view usage);

} // namespace CliOutput
