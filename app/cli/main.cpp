#include "cli/AdbCommand.h"
#include "cli/AddressCommand.h"
#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/HistoryCommand.h"
#include "cli/LdapCommand.h"
#include "cli/LinesCommand.h"
#include "cli/LogCommand.h"
#include "cli/ProvidersCommand.h"
#include "cli/RegCommand.h"
#include "cli/RegsvrCommand.h"
#include "cli/SavedCommand.h"
#include "cli/SendCommand.h"
#include "cli/ServeCommand.h"
#include "cli/StatusCommand.h"
#include "settings/SettingsStore.h"

#include <array>
#include <csignal>
#include <iostream>
#include <memory>
#include <string_view>

#ifndef NORVANE_VERSION
#define NORVANE_VERSION "0.0.0"
#endif

namespace {

// One command per line (clang-format would pack them), so that added commands merge cleanly.
// clang-format off
constexpr auto commands = std::to_array<CliCommand>({
    RegCommand::command,
    LogCommand::command,
    RegsvrCommand::command,
    ProvidersCommand::command,
    AdbCommand::command,
    AddressCommand::command,
    LinesCommand::command,
    SavedCommand::command,
    LdapCommand::command,
    HistoryCommand::command,
    SendCommand::command,
    ServeCommand::command,
    StatusCommand::command,
});
// clang-format on

void printOverview(std::ostream& out)
{
    out << "Usage: norvane-cli <command> [arguments]\n"
           "       norvane-cli --help | --version\n"
           "\n"
           "Norvane Desk's command-line program, for scripts and servers.\n"
           "\n"
           "Commands:\n";
    for (const CliCommand& command : commands) {
        out << "  " << command.name << std::string(10 - command.name.size(), ' ') << command.summary
            << '\n';
    }
    out << "\n"
           "\"norvane-cli <command> --help\" describes a command. Exit codes: 0 success,\n"
           "1 failure, 2 wrong usage.\n";
}

// Every other command reads its settings through typed reads that fall back to defaults; a
// store that exists but cannot be read would otherwise change what they do without a word.
// "reg" and "status" say it themselves.
void warnOfAnUnreadableStore(std::string_view command)
{
    if (command == "reg" || command == "status") {
        return;
    }
    const std::shared_ptr<SettingsStore> store = SettingsStore::current();
    if (store && !store->readable()) {
        std::cerr << programName << ": warning: " << SettingsStore::lastErrorText()
                  << "; going on with the default settings\n";
    }
}

} // namespace

int main(int argc, char** argv)
{
    // A peer that goes away must give an error, never end the program.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        printOverview(std::cerr);
        return static_cast<int>(ExitCode::Usage);
    }
    const std::string first = arguments.front();
    if (first == "--help" || first == "-h" || first == "help") {
        printOverview(std::cout);
        return static_cast<int>(CliOutput::finish(ExitCode::Success));
    }
    if (first == "--version" || first == "-V") {
        std::cout << "norvane-cli " << NORVANE_VERSION << '\n';
        return static_cast<int>(CliOutput::finish(ExitCode::Success));
    }
    arguments.erase(arguments.begin());
    for (const CliCommand& command : commands) {
        if (command.name == first) {
            // "--version" is understood after any command too.
            for (const std::string& argument : arguments) {
                if (argument == "--version") {
                    std::cout << "norvane-cli " << NORVANE_VERSION << '\n';
                    return static_cast<int>(CliOutput::finish(ExitCode::Success));
                }
                if (argument == "--") {
                    break;
                }
            }
            warnOfAnUnreadableStore(command.name);
            // Output that could not be written fails the command, whatever it did.
            return static_cast<int>(CliOutput::finish(command.run(arguments)));
        }
    }
    std::cerr << programName << ": unknown command \"" << first << "\"\n\n";
    printOverview(std::cerr);
    return static_cast<int>(ExitCode::Usage);
}
