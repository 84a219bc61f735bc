#include "PrivateLog.h"

#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <sstream>

PrivateLog::PrivateLog(int level)
{
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    (void)paths.setString(SharedSettings::Paths::logFile.name, logPath());
    setLevel(level);
}

void PrivateLog::setLevel(int level) const
{
    SettingsKey log(RootKey::CurrentUser, SharedSettings::Log::key);
    (void)log.setNumber(SharedSettings::Log::logLevel.name, level);
}

std::vector<LogEntry> PrivateLog::entries() const
{
    std::vector<LogEntry> result;
    std::istringstream in(content());
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

int PrivateLog::levelOf(const std::string& message, const std::string& tag) const
{
    for (const LogEntry& entry : entries()) {
        if (entry.message == message && entry.tag == tag) {
            return entry.level;
        }
    }
    return -1;
}

int PrivateLog::indexOf(const std::string& message) const
{
    const std::vector<LogEntry> all = entries();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].message == message) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool PrivateLog::hasLineStarting(const std::string& text, const std::string& tag) const
{
    for (const LogEntry& entry : entries()) {
        if (entry.tag == tag && entry.message.starts_with(text)) {
            return true;
        }
    }
    return false;
}
