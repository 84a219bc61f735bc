#include "GuiTestStore.h"

#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <cstdlib>
#include <fstream>

GuiTestStore::GuiTestStore()
{
    if (const char* previous = std::getenv("NORVANE_REGISTRY")) {
        m_previous = previous;
    }
    setenv("NORVANE_REGISTRY", registryPath().c_str(), 1);
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    (void)paths.setString("logFile", m_dir.filePath(QStringLiteral("ndlog.dat")).toStdString());
    SettingsKey log(RootKey::CurrentUser, SharedSettings::Log::key);
    (void)log.setNumber("logLevel", 12);
}

GuiTestStore::~GuiTestStore()
{
    if (m_previous) {
        setenv("NORVANE_REGISTRY", m_previous->c_str(), 1);
    } else {
        unsetenv("NORVANE_REGISTRY");
    }
}

std::string GuiTestStore::registryPath() const
{
    return m_dir.filePath(QStringLiteral("registry.reg")).toStdString();
}

std::vector<LogEntry> GuiTestStore::entries() const
{
    std::vector<LogEntry> result;
    std::ifstream in(m_dir.filePath(QStringLiteral("ndlog.dat")).toStdString());
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

int GuiTestStore::levelOf(const std::string& message, const std::string& tag) const
{
    for (const LogEntry& entry : entries()) {
        if (entry.message == message && entry.tag == tag) {
            return entry.level;
        }
    }
    return -1;
}

bool GuiTestStore::hasLineStarting(const std::string& text, const std::string& tag) const
{
    for (const LogEntry& entry : entries()) {
        if (entry.tag == tag && entry.message.starts_with(text)) {
            return true;
        }
    }
    return false;
}
