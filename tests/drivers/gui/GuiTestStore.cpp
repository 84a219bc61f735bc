#include "GuiTestStore.h"

#include "TestLogFile.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

GuiTestStore::GuiTestStore()
{
    if (const char* previous = std::getenv("NORVANE_REGISTRY")) {
        m_previous = previous;
    }
    setenv("NORVANE_REGISTRY", registryPath().c_str(), 1);
    TestLogFile::useFile(m_dir.filePath(QStringLiteral("ndlog.dat")).toStdString(), 12);
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
    std::ifstream in(m_dir.filePath(QStringLiteral("ndlog.dat")).toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return TestLogFile::parse(text.str());
}

int GuiTestStore::levelOf(const std::string& message, const std::string& tag) const
{
    return TestLogFile::levelOf(entries(), message, tag);
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
