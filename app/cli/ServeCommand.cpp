#include "cli/ServeCommand.h"

#include "cli/ArgumentList.h"
#include "cli/CliOutput.h"
#include "cli/ServeLock.h"
#include "cli/ServeSession.h"
#include "settings/SettingsStore.h"

#include <iostream>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli serve [--foreground]\n"
      "\n"
      "Runs the SNPP gateway and the scheduler without a GUI, as the desktop program does,\n"
      "until SIGINT (Ctrl-C) or SIGTERM. Pages relayed by SNPP clients and due saved messages\n"
      "go out through the driver plug-ins, quietly and without history entries. The gateway\n"
      "reads its settings (SnppSrv: enabled, port, hosts, fromAdbOnly, level2Login) when it\n"
      "starts and again on SIGHUP. While it is disabled or its port cannot be opened, that\n"
      "is said on stderr and the scheduler runs alone.\n"
      "\n"
      "A stop cancels the send in progress and waits at most Serve\\stopWaitMs milliseconds\n"
      "(default 15000) for both threads; a second SIGINT or SIGTERM ends at once. Everything\n"
      "is written to the shared log (origin \"Serve\" for start, restart and stop).\n"
      "One serve runs per settings store: it holds a lock beside the store (\"status\" shows\n"
      "it), and a second serve on the same store says so and ends with exit code 1, unless\n"
      "given --force.\n"
      "Exit code 0 after a stop, 1 when a thread could not start or another serve runs.\n"
      "\n"
      "Options:\n"
      "  --foreground, -f  also echo every line written to the shared log on stderr\n"
      "  --force           run even when another serve runs on the same settings store\n"
      "  --help            show this text\n";

} // namespace

ExitCode ServeCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    const bool foreground = list.takeFlag("--foreground", "-f");
    const bool force = list.takeFlag("--force");
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    const std::vector<std::string> words = list.positional();
    if (!words.empty()) {
        return CliOutput::unexpectedArgument(words.front(), usage);
    }
    // Two gateways on one store would fight over the port, and two schedulers would send
    // every due saved message twice.
    const std::string store = SettingsStore::defaultPath();
    ServeLock lock;
    if (!lock.acquire(store)) {
        if (!lock.lastErrorText().empty()) {
            std::cerr << "norvane-cli: warning: " << lock.lastErrorText()
                      << "; another serve on this store would not be noticed\n";
        } else {
            const pid_t holder = ServeLock::holder(store);
            const std::string who
                = holder > 0 ? "process " + std::to_string(holder) : std::string("another process");
            std::cerr << "norvane-cli: warning: serve already runs on the settings store " << store
                      << " (" << who << ")";
            if (!force) {
                std::cerr << "; stop it first, or give --force to run a second one\n";
                return ExitCode::Failure;
            }
            std::cerr << "; running a second one as --force asks\n";
        }
    }
    ServeSession session(std::cerr, foreground);
    return session.run();
}
