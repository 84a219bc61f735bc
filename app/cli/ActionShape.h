#pragma once

#include "cli/CliCommand.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One action of a command with actions ("list", "add", ...): its name, how many positional
// arguments follow it, and the usage error when the count is wrong.
struct ActionShape
{
    std::string_view name;
    std::size_t count;
    std::string_view usageText;

    // Takes the action (the first positional argument) off `args` into `action` and checks the
    // rest against its shape; nullopt when they fit, else the usage error printed with `usage`
    // and its exit code. `command` names the command in "COMMAND needs an action".
    static std::optional<ExitCode> take(std::string_view command, std::vector<std::string>& args,
                                        std::span<const ActionShape> shapes, std::string_view usage,
                                        std::string& action);
};
