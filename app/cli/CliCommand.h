#pragma once

#include <string>
#include <string_view>
#include <vector>

// The exit codes of norvane-cli.
enum class ExitCode : int { Success = 0, Failure = 1, Usage = 2 };

// One command of norvane-cli ("reg", "log", ...): its name, a one-line summary for the
// overview, and the function that runs it with the arguments after the command's name.
struct CliCommand
{
    std::string_view name;
    std::string_view summary;
    ExitCode (*run)(const std::vector<std::string>& arguments);
};

// The program's name as it prefixes error messages.
inline constexpr std::string_view programName = "norvane-cli";
