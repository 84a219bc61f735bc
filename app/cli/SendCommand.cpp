#include "SendCommand.h"

#include "ArgumentList.h"
#include "CliDirectories.h"
#include "CliOutput.h"
#include "SendPrinter.h"
#include "SendResults.h"
#include "Sender.h"
#include "log/LogFile.h"
#include "stores/MessageHistory.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <iterator>
#include <unistd.h>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli send [options] RECIPIENTS [MESSAGE]\n"
      "       norvane-cli send [options] --to RECIPIENT [--to RECIPIENT ...] [MESSAGE]\n"
      "\n"
      "Sends MESSAGE to the recipients through the drivers, as the compose window's Send\n"
      "does, and prints one row per recipient (recipient, status, text, tab-separated) and a\n"
      "summary. RECIPIENTS is a \";\"-separated list; each entry is a pager address\n"
      "(number/PIN or provider name/PIN for IXO/TAP, host[:port]!PIN for SNPP) or the name\n"
      "of an address-book entry. Without MESSAGE, or with \"-\", the message is read from\n"
      "standard input (one line end at its end is dropped). The send is logged as \"Local\"\n"
      "and recorded in the message history. While it runs, Ctrl-C cancels the transmission\n"
      "(its rows then read \"User aborted\"); when stderr is a terminal, or with --verbose,\n"
      "each transmission and the drivers' log lines are shown there.\n"
      "Exit code 0 when every page went out, 1 when any was not sent.\n"
      "\n"
      "Options:\n"
      "  --to RECIPIENT   a recipient; may be repeated, instead of RECIPIENTS\n"
      "  --no-history     do not record the send in the message history\n"
      "  --json           print the counts and rows as one JSON object; each row carries the\n"
      "                   return code of its transmission (returnCode, null for entries\n"
      "                   that reached no driver)\n"
      "  --verbose, -v    show the transmissions and the drivers' log lines on stderr\n"
      "                   also when it is not a terminal\n"
      "  --help           show this text\n";

std::atomic<bool> g_cancelled {false};
static_assert(std::atomic<bool>::is_always_lock_free);

void onSendInterrupt(int)
{
    g_cancelled.store(true);
}

// Ctrl-C asks the running transmission to stop; a second one ends the program as usual.
void catchInterrupt()
{
    struct sigaction action
    { };
    action.sa_handler = &onSendInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
}

std::string readStandardInput()
{
    std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
    }
    return text;
}

} // namespace

ExitCode SendCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    const bool noHistory = list.takeFlag("--no-history");
    const bool json = list.takeFlag("--json");
    const bool verbose = list.takeFlag("--verbose", "-v");
    std::string recipients;
    std::string to;
    bool hasTo = false;
    while (list.takeOption("--to", to)) {
        if (to.empty() || to.find(';') != std::string::npos) {
            return CliOutput::usageError("--to takes one recipient, not \"" + to + "\"", usage);
        }
        recipients += (hasTo ? ";" : "") + to;
        hasTo = true;
    }
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    std::vector<std::string> words = list.positional();
    if (!hasTo) {
        if (words.empty()) {
            return CliOutput::usageError("send needs RECIPIENTS", usage);
        }
        recipients = words.front();
        words.erase(words.begin());
    }
    if (words.size() > 1) {
        return CliOutput::usageError("unexpected argument \"" + words[1] + "\"", usage);
    }
    const std::string message
        = words.empty() || words.front() == "-" ? readStandardInput() : words.front();
    if (message.empty()) {
        return CliOutput::usageError("the message is empty", usage);
    }

    // The send opens the book itself, as each send does.
    CliDirectories directories(std::cerr);
    (void)directories.open(false);
    MessageHistory history;
    history.initPath();

    Sender sender(&directories.providers(), &directories.books(), &history);
    ControlOptions options;
    options.isCancelled = [] { return g_cancelled.load(); };
    sender.setDriverOptions(options);
    const LogFile log;
    const bool progress = verbose || ::isatty(STDERR_FILENO) == 1;
    auto printer = std::make_shared<SendPrinter>(json ? SendPrinter::Format::Json
                                                      : SendPrinter::Format::Text,
                                                 progress, log.path(), std::cout, std::cerr);
    sender.setPresenter(printer);

    catchInterrupt();
    std::int32_t sent = 0;
    std::int32_t failed = 0;
    std::int32_t total = 0;
    SendResults results;
    if (!sender.sendToRecipients(recipients, message, noHistory, false, "Local", &sent, &failed,
                                 &total, &results)) {
        return CliOutput::fail("the send could not start");
    }
    std::signal(SIGINT, SIG_DFL);
    printer->finish(results, sent, failed, total);
    return total > 0 && failed == 0 ? ExitCode::Success : ExitCode::Failure;
}
