#include "cli/LogCommand.h"

#include "cli/ArgumentList.h"
#include "cli/CliOutput.h"
#include "log/LogFile.h"
#include "log/LogIndex.h"
#include "log/LogLevel.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <sys/stat.h>
#include <thread>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli log [--level LEVEL] [--follow] [--file PATH]\n"
      "       norvane-cli log --purge\n"
      "\n"
      "Print the shared log, newest entry first, as the log viewer lists it: level, time\n"
      "(hh:mm mm/dd/yyyy, local time), origin and message. The log file is found from the\n"
      "settings (Paths: logFile, else home/data/ndlog.dat, else ./ndlog.dat).\n"
      "\n"
      "Options:\n"
      "  --level LEVEL   the highest level shown: 1 to 12 or a name such as Errors, Trans,\n"
      "                  Info, Debug, Debug6 (default: Info, levels 1 to 5)\n"
      "  --follow        after the listing, print new entries as they are written (oldest\n"
      "                  first) until interrupted\n"
      "  --file PATH     read this log file instead of the configured one\n"
      "  --purge         delete the log file\n"
      "  --help          show this text\n";

std::atomic<bool> g_interrupted {false};

extern "C" void onInterrupt(int)
{
    g_interrupted = true;
}

void printEntry(const LogEntry& entry)
{
    char level[16];
    std::snprintf(level, sizeof level, "%-8s",
                  std::string(LogFile::levelName(entry.level)).c_str());
    // The log holds what peers sent (an SNPP client's message): shown escaped, never raw.
    std::cout << level << ' ' << LogIndex::formatTime(entry.time) << "  "
              << CliOutput::printable(entry.tag) << ": " << CliOutput::printable(entry.message)
              << '\n';
}

// The identity of the file, to notice it being purged or replaced while followed.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    bool exists = false;
};

FileIdentity identify(const std::string& path)
{
    struct stat info
    { };
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    return {info.st_dev, info.st_ino, info.st_size, true};
}

void follow(LogFile& log, int highest)
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    FileIdentity seen = identify(log.path());
    while (!g_interrupted) {
        LogEntry entry;
        bool any = false;
        while (log.readEntry(entry)) {
            any = true;
            if (entry.level <= highest) {
                printEntry(entry);
            }
        }
        if (any) {
            std::cout.flush();
        }
        const FileIdentity now = identify(log.path());
        if (now.exists != seen.exists || now.inode != seen.inode || now.device != seen.device
            || now.size < seen.size) {
            // Purged or replaced: start over at the beginning of the new file.
            log.close();
            if (now.exists) {
                (void)log.openForReading();
            }
        } else if (!any) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        seen = now;
        if (!log.isOpen() && now.exists) {
            (void)log.openForReading();
        }
    }
}

} // namespace

ExitCode LogCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    std::string levelText, file;
    const bool hasLevel = list.takeOption("--level", levelText);
    const bool hasFile = list.takeOption("--file", file);
    const bool followIt = list.takeFlag("--follow", "-f");
    const bool purge = list.takeFlag("--purge");
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    if (!list.positional().empty()) {
        return CliOutput::unexpectedArgument(list.positional().front(), usage);
    }
    int highest = LogLevel::Info;
    if (hasLevel) {
        highest = LogLevel::fromText(levelText);
        if (highest < LogLevel::Fatal) {
            return CliOutput::usageError("\"" + levelText + "\" is not a log level from 1 to 12",
                                         usage);
        }
    }
    if (purge && (followIt || hasLevel)) {
        return CliOutput::usageError("--purge cannot be combined with --follow or --level", usage);
    }

    LogFile log;
    if (hasFile) {
        log.setPath(file);
    }
    if (purge) {
        log.removeFile();
        std::cout << "All logged messaged deleted.\n";
        return ExitCode::Success;
    }
    std::vector<LogEntry> entries;
    if (log.openForReading()) {
        LogEntry entry;
        while (log.readEntry(entry)) {
            if (entry.level <= highest) {
                entries.push_back(entry);
            }
        }
        if (!log.atEnd()) {
            std::cerr << programName << ": " << log.path()
                      << ": the listing stops at a line that is not a log entry\n";
        }
    } else if (!followIt) {
        // A missing log is an empty one, as in the viewer; say so on stderr for the user.
        std::cerr << programName << ": no log file at " << log.path() << '\n';
    }
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        printEntry(*it);
    }
    std::cout.flush();
    if (followIt) {
        follow(log, highest);
    }
    return ExitCode::Success;
}
