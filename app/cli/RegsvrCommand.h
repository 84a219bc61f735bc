#pragma once

#include "cli/CliCommand.h"

// "norvane-cli regsvr": register or unregister a driver plug-in file in the settings store.
namespace RegsvrCommand {

// Runs the command with the arguments after "regsvr".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"regsvr", "register or unregister a driver plug-in", &run};

} // namespace RegsvrCommand
