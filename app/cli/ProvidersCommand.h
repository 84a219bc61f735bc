#pragma once

#include "cli/CliCommand.h"

// "norvane-cli providers": list and change the paging service provider database.
namespace ProvidersCommand {

// Runs the command with the arguments after "providers".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"providers", "list and change the paging service providers",
                                     &run};

} // namespace ProvidersCommand
