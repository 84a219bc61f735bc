#pragma once

#include "cli/CliCommand.h"

// "norvane-cli saved": list, show, add, remove, schedule and clear the saved messages.
namespace SavedCommand {

// Runs the command with the arguments after "saved".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"saved", "list, add, remove and schedule saved messages",
                                     &run};

} // namespace SavedCommand
