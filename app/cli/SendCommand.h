#pragma once

#include "cli/CliCommand.h"

// "norvane-cli send": sends a page through the send pipeline, as the compose window does.
namespace SendCommand {

// Runs the command with the arguments after "send".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"send", "send a page to pager addresses or address-book names",
                                     &run};

} // namespace SendCommand
