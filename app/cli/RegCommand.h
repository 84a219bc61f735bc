#pragma once

#include "cli/CliCommand.h"

// "norvane-cli reg": query, change, export and import the settings store.
namespace RegCommand {

// Runs the command with the arguments after "reg".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"reg", "query and change the settings store", &run};

} // namespace RegCommand
