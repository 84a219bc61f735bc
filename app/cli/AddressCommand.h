#pragma once

#include "cli/CliCommand.h"

// "norvane-cli address": check a recipient as the recipient entry and the gateway do.
namespace AddressCommand {

// Runs the command with the arguments after "address".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"address", "check a pager address or address-book name", &run};

} // namespace AddressCommand
