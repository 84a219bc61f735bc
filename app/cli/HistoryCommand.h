#pragma once

#include "cli/CliCommand.h"

// "norvane-cli history": list or purge the history of messages sent from the compose window.
namespace HistoryCommand {

// Runs the command with the arguments after "history".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"history", "list or purge the history of sent messages", &run};

} // namespace HistoryCommand
