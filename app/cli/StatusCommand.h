#pragma once

#include "cli/CliCommand.h"

// "norvane-cli status": what the programs of this user use and whether it works, for admins
// and support: the settings store, the data files, the drivers, the line devices, the
// gateway's settings and whether a serve runs on the store.
namespace StatusCommand {

// Runs the command with the arguments after "status".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"status", "show what is in use and whether it works", &run};

} // namespace StatusCommand
