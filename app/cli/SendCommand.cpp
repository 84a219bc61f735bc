#include "cli/SendCommand.h"

#include "cli/ArgumentList.h"
#include "cli/CliDirectories.h"
#include "cli/CliOutput.h"
#include "cli/SendPrinter.h"
#include "cli/SignalWatcher.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "sending/SendResults.h"
#include "sending/Sender.h"
#include "stores/MessageHistory.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <mutex>
#include <pthread.h>
#include <string_view>
#include <thread>
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

// The last quick-exit handler (registered before any plug-in is loaded, so it runs after the
// drivers' own, which put their line devices back): the program ends as SIGINT ends it.
extern "C" void endBySigint()
{
    std::signal(SIGINT, SIG_DFL);
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    ::raise(SIGINT);
    ::pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
    std::_Exit(128 + SIGINT);
}

// Ctrl-C asks the running transmission to stop; a second one ends the program at once. Both
// are taken on a thread of their own, never in a signal handler: the immediate end says so
// on stderr and leaves through std::quick_exit, whose handlers (the drivers' and then
// endBySigint) put the line devices back before the program dies of the signal.
class InterruptWatch
{
public:
    InterruptWatch()
        : m_signals({SIGINT})
        , m_thread([this] { run(); })
    {
        static std::once_flag registered;
        std::call_once(registered, [] { std::at_quick_exit(&endBySigint); });
    }
    ~InterruptWatch()
    {
        m_stop.store(true);
        m_thread.join();
    }
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    void run()
    {
        while (!m_stop.load()) {
            if (m_signals.wait(std::chrono::milliseconds(50)) != SIGINT) {
                continue;
            }
            if (g_cancelled.exchange(true)) {
                static constexpr std::string_view line
                    = "norvane-cli: send cut short by a second Ctrl-C: its results are not "
                      "recorded\n";
                (void)!::write(STDERR_FILENO, line.data(), line.size());
                std::quick_exit(128 + SIGINT);
            }
        }
    }

    SignalWatcher m_signals;
    std::atomic<bool> m_stop {false};
    std::thread m_thread;
};

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
    // Before anything may start a thread: every thread of the send inherits SIGINT blocked,
    // so only the watch takes it.
    const InterruptWatch interrupts;
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
        return CliOutput::unexpectedArgument(words[1], usage);
    }
    const std::string message
        = words.empty() || words.front() == "-" ? readStandardInput() : words.front();
    if (message.empty()) {
        return CliOutput::usageError("the message is empty", usage);
    }

    // The send opens the book itself, as each send does.
    CliDirectories directories(std::cerr);
    (void)directories.open(false);
    // Recorded here rather than by the send, so that a history that cannot be written is said
    // on stderr (the send goes on; the log has it too).
    if (!noHistory) {
        MessageHistory history;
        history.initPath();
        if (!history.recordSent(recipients, message)) {
            std::cerr << programName << ": warning: the send is not recorded in the message "
                      << "history: " << MessageHistory::lastErrorText() << '\n';
            LogFile historyLog;
            historyLog.openForAppend();
            historyLog.write(LogLevel::Errors, "Local",
                             "Cannot record the send in the history (%s)",
                             MessageHistory::lastErrorText().c_str());
        }
    }

    Sender sender(&directories.providers(), &directories.books(), nullptr);
    ControlOptions options;
    options.isCancelled = [] { return g_cancelled.load(); };
    sender.setDriverOptions(options);
    const LogFile log;
    const bool progress = verbose || ::isatty(STDERR_FILENO) == 1;
    auto printer = std::make_shared<SendPrinter>(json ? SendPrinter::Format::Json
                                                      : SendPrinter::Format::Text,
                                                 progress, log.path(), std::cout, std::cerr);
    sender.setPresenter(printer);

    std::int32_t sent = 0;
    std::int32_t failed = 0;
    std::int32_t total = 0;
    SendResults results;
    if (!sender.sendToRecipients(recipients, message, noHistory, false, "Local", &sent, &failed,
                                 &total, &results)) {
        return CliOutput::fail("the send could not start");
    }
    printer->finish(results, sent, failed, total);
    return total > 0 && failed == 0 ? ExitCode::Success : ExitCode::Failure;
}
