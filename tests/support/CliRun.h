#pragma once

#include "ProcessRunner.h"
#include "ScopedRegistry.h"

#include <string>
#include <vector>

// Runs the built norvane-cli with the arguments against the test's private settings store.
inline ProcessResult runCli(const ScopedRegistry& registry, std::vector<std::string> arguments,
                            const std::string& input = {})
{
    arguments.insert(arguments.begin(), NORVANE_CLI_PATH);
    return ProcessRunner::run(arguments, {{"NORVANE_REGISTRY", registry.path()}}, input);
}
