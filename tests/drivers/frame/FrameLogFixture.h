#pragma once

#include "ScopedRegistry.h"
#include "log/LogFile.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <sstream>
#include <string>
#include <vector>

// A private settings store whose shared log lies in the test's folder and takes every level,
// and the log's lines read back.
class FrameLogFixture
{
public:
    explicit FrameLogFixture(int level = 12)
    {
        SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
        (void)paths.setString("logFile", logPath());
        SettingsKey log(RootKey::CurrentUser, SharedSettings::Log::key);
        (void)log.setNumber("logLevel", level);
    }

    std::string logPath() const { return m_registry.dir().file("ndlog.dat"); }
    const ScopedRegistry& registry() const { return m_registry; }

    // Every line of the log, in file order.
    std::vector<LogEntry> entries() const
    {
        std::vector<LogEntry> result;
        std::istringstream in(m_registry.dir().read("ndlog.dat"));
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
    int levelOf(const std::string& message, const std::string& tag = "kestrel") const
    {
        for (const LogEntry& entry : entries()) {
            if (entry.message == message && entry.tag == tag) {
                return entry.level;
            }
        }
        return -1;
    }

    // The position of the first line with this message, or -1.
    int indexOf(const std::string& message) const
    {
        const std::vector<LogEntry> all = entries();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].message == message) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

private:
    ScopedRegistry m_registry;
};
