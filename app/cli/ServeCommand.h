#pragma once

#include "cli/CliCommand.h"

// "norvane-cli serve": runs the SNPP gateway and the scheduler without a GUI until SIGINT or
// SIGTERM, as a service.
namespace ServeCommand {

// Runs the command with the arguments after "serve".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"serve", "run the SNPP gateway and the scheduler as a service",
                                     &run};

} // namespace ServeCommand
