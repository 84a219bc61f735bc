#include "cli/HistoryCommand.h"

#include "cli/ArgumentList.h"
#include "cli/CliOutput.h"
#include "stores/MessageHistory.h"

#include <iostream>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli history list\n"
      "       norvane-cli history purge\n"
      "\n"
      "The history of messages sent from the compose window, newest first, as the compose\n"
      "window's history buttons step through it. It keeps the newest entry and at most\n"
      "maxSavedCount older ones (Messages key, default 20). The file is found from the\n"
      "settings (Paths: msgDbs, else home/data/msg.dat, else ./msg.dat).\n"
      "\n"
      "Actions:\n"
      "  list     print each entry as stored: its position, the recipients and the\n"
      "           message, separated by tabs (line breaks show as <0d> and <0a>, and \"=\"\n"
      "           in recipients as <3d>; other control bytes as \\xNN, a tab as \\t\n"
      "           and a backslash as \\\\)\n"
      "  purge    delete the history\n"
      "\n"
      "Options:\n"
      "  --file PATH   use this history file instead of the configured one\n"
      "  --help        show this text\n";

ExitCode list(const MessageHistory& history)
{
    // One read of the file, so that a send recorded meanwhile cannot show an entry twice.
    std::vector<std::string> entries;
    if (!history.entries(entries)) {
        if (MessageHistory::lastError() == StoreErrorCode::Missing) {
            std::cerr << programName << ": no message history at " << history.path() << '\n';
            return ExitCode::Success;
        }
        return CliOutput::fail(MessageHistory::lastErrorText());
    }
    for (std::size_t position = 0; position < entries.size(); ++position) {
        const std::string& entry = entries[position];
        // Printed as stored, so that every entry stays one line: the recipients, a tab, the
        // message.
        const std::string line = entry.substr(0, entry.size() - 1);
        const std::size_t equals = line.find('=');
        std::cout << position << '\t';
        if (equals == std::string::npos) {
            std::cout << CliOutput::printable(line) << '\n';
        } else {
            std::cout << CliOutput::printable(line.substr(0, equals)) << '\t'
                      << CliOutput::printable(line.substr(equals + 1)) << '\n';
        }
    }
    if (entries.empty()) {
        std::cerr << programName << ": the message history " << history.path() << " is empty\n";
    }
    return ExitCode::Success;
}

} // namespace

ExitCode HistoryCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    std::string file;
    const bool hasFile = list.takeOption("--file", file);
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    const std::vector<std::string> words = list.positional();
    if (words.empty()) {
        return CliOutput::usageError("history needs an action", usage);
    }
    if (words.size() > 1) {
        return CliOutput::unexpectedArgument(words[1], usage);
    }
    MessageHistory history;
    if (hasFile) {
        history.setPath(file);
    } else {
        history.initPath();
    }
    if (words.front() == "list") {
        return ::list(history);
    }
    if (words.front() == "purge") {
        if (!history.purge()) {
            return CliOutput::fail(MessageHistory::lastErrorText());
        }
        std::cout << "Message history deleted.\n";
        return ExitCode::Success;
    }
    return CliOutput::usageError("unknown action \"" + words.front() + "\"", usage);
}
