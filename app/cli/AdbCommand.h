#pragma once

#include "cli/CliCommand.h"

// "norvane-cli adb": list, look up and change the entries of the current address book.
namespace AdbCommand {

// Runs the command with the arguments after "adb".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"adb", "list and change the current address book", &run};

} // namespace AdbCommand
