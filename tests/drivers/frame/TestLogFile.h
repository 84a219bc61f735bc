#pragma once

#include "log/LogFile.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <sstream>
#include <string>
#include <vector>

// The shared log as the driver tests use it: written to a file of the test's own at a level
// of its choosing, and its lines read back.
namespace TestLogFile {

// Points the shared log of the current settings store at `path`, writing lines up to `level`.
inline void useFile(const std::string& path, int level)
{
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    (void)paths.setString("logFile", path);
    SettingsKey log(RootKey::CurrentUser, SharedSettings::Log::key);
    (void)log.setNumber("logLevel", level);
}

// The lines of a log file's text, in file order (lines that do not parse are left out).
inline std::vector<LogEntry> parse(const std::string& text)
{
    std::vector<LogEntry> result;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        LogEntry entry;
        if (LogFile::parseLine(line, entry)) {
            result.push_back(entry);
        }
    }
    return result;
}

// The level of the first line with exactly this message and tag, or -1.
inline int levelOf(const std::vector<LogEntry>& entries, const std::string& message,
                   const std::string& tag)
{
    for (const LogEntry& entry : entries) {
        if (entry.message == message && entry.tag == tag) {
            return entry.level;
        }
    }
    return -1;
}

} // namespace TestLogFile
