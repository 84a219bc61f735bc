#pragma once

#include "ScopedRegistry.h"
#include "TestLogFile.h"

#include <string>
#include <vector>

// A private settings store whose shared log lies in the test's folder and takes every level,
// and the log's lines read back.
class FrameLogFixture
{
public:
    explicit FrameLogFixture(int level = 12) { TestLogFile::useFile(logPath(), level); }

    std::string logPath() const { return m_registry.dir().file("ndlog.dat"); }
    const ScopedRegistry& registry() const { return m_registry; }

    // Every line of the log, in file order.
    std::vector<LogEntry> entries() const
    {
        return TestLogFile::parse(m_registry.dir().read("ndlog.dat"));
    }

    // The level of the first line with exactly this message and tag, or -1.
    int levelOf(const std::string& message, const std::string& tag = "kestrel") const
    {
        return TestLogFile::levelOf(entries(), message, tag);
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
