#pragma once

#include "ScopedRegistry.h"
#include "log/LogFile.h"

#include <string>
#include <vector>

// A private settings store (ScopedRegistry) whose shared log lies in the store's folder and
// writes the lines up to a level of the test's choosing; the log's lines read back.
class PrivateLog
{
public:
    explicit PrivateLog(int level = 12);

    // Writes the lines up to `level` from now on (for loggers that load their settings later).
    void setLevel(int level) const;
    std::string logPath() const { return m_registry.dir().file("ndlog.dat"); }
    // The log file's whole text so far.
    std::string content() const { return m_registry.dir().read("ndlog.dat"); }
    const ScopedRegistry& registry() const { return m_registry; }

    // Every line of the log, in file order (lines that do not parse are left out).
    std::vector<LogEntry> entries() const;
    // The level of the first line with exactly this message and tag, or -1.
    int levelOf(const std::string& message, const std::string& tag = "kestrel") const;
    // The position of the first line with this message, or -1.
    int indexOf(const std::string& message) const;
    // Whether some line of the tag starts with the text.
    bool hasLineStarting(const std::string& text, const std::string& tag = "kestrel") const;

private:
    ScopedRegistry m_registry;
};
