#pragma once

#include "cli/CliCommand.h"

// "norvane-cli log": print the shared log newest first, filtered by a highest level, follow
// it as it grows, or purge it.
namespace LogCommand {

// Runs the command with the arguments after "log".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"log", "show the shared log, newest first", &run};

} // namespace LogCommand
