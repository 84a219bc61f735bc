#pragma once

#include "ScopedRegistry.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <string>

// A private store whose log file lies in the test's temporary folder, at the given level.
class LogFixtureSettings
{
public:
    explicit LogFixtureSettings(int level = 4)
    {
        SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
        (void)paths.setString("logFile", logPath());
        setLevel(level);
    }
    void setLevel(int level)
    {
        SettingsKey log(RootKey::CurrentUser, SharedSettings::Log::key);
        (void)log.setNumber("logLevel", level);
    }
    std::string logPath() const { return m_registry.dir().file("ndlog.dat"); }
    std::string content() const { return m_registry.dir().read("ndlog.dat"); }
    const ScopedRegistry& registry() const { return m_registry; }

private:
    ScopedRegistry m_registry;
};
