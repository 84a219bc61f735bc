#include "cli/RegsvrCommand.h"

#include "cli/ArgumentList.h"
#include "cli/CliOutput.h"
#include "plugin/ControlLoader.h"

#include <iostream>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli regsvr [-u | --unregister] FILE\n"
      "\n"
      "Registers the driver plug-in FILE (a shared library such as libkestrel.so): the plug-in\n"
      "writes its class entries into the settings store, under\n"
      "HKEY_CURRENT_USER\\SOFTWARE\\Classes, so that programs find it by class identifier.\n"
      "With -u the plug-in removes its entries again.\n"
      "\n"
      "Options:\n"
      "  -u, --unregister   remove the plug-in's registration\n"
      "  --help             show this text\n";

} // namespace

ExitCode RegsvrCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    const bool unregister = list.takeFlag("--unregister", "-u");
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    const std::vector<std::string> files = list.positional();
    if (files.size() != 1) {
        return CliOutput::usageError("regsvr takes one plug-in FILE", usage);
    }
    ControlLoader loader;
    const bool done
        = unregister ? loader.unregisterServer(files[0]) : loader.registerServer(files[0]);
    if (!done) {
        return CliOutput::fail(loader.lastErrorText());
    }
    std::cout << (unregister ? "Unregistered " : "Registered ") << files[0] << '\n';
    return ExitCode::Success;
}
