#pragma once

#include "cli/CliCommand.h"

// "norvane-cli ldap": list and change the LDAP directory services and search them by name.
namespace LdapCommand {

// Runs the command with the arguments after "ldap".
ExitCode run(const std::vector<std::string>& arguments);

// The command's entry for the program's command table.
inline constexpr CliCommand command {"ldap", "search LDAP directories and list their services",
                                     &run};

} // namespace LdapCommand
