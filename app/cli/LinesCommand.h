#pragma once

#include "cli/CliCommand.h"

// "norvane-cli lines": list the telephony line devices that the IXO/TAP driver can dial on.
namespace LinesCommand {

// Runs the command with the arguments after "lines".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"lines", "list the telephony line devices", &run};

} // namespace LinesCommand
