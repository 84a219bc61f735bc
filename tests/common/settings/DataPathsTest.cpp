#include "settings/DataPaths.h"

#include "ScopedRegistry.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

struct PathCase
{
    const char* label;
    const char* logFile;
    const char* home; // nullptr: no `home` value at all
    const char* expected;
};

class DataPathsRules : public testing::TestWithParam<PathCase>
{ };

TEST_P(DataPathsRules, ResolveTheLogFile)
{
    ScopedRegistry registry;
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    if (*GetParam().logFile) {
        ASSERT_TRUE(paths.setString("logFile", GetParam().logFile));
    }
    if (GetParam().home != nullptr) {
        ASSERT_TRUE(paths.setString("home", GetParam().home));
    }
    EXPECT_EQ(DataPaths::resolve(SharedSettings::Paths::logFile, "ndlog.dat"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DataPathsRules,
    testing::Values(PathCase {"emptyHomeKeepsBareNames", "", "", "ndlog.dat"},
                    PathCase {"home", "", "/opt/nd", "/opt/nd/data/ndlog.dat"},
                    PathCase {"homeSlash", "", "/opt/nd/", "/opt/nd/data/ndlog.dat"},
                    PathCase {"own", "/var/log/nd.log", "/opt/nd", "/var/log/nd.log"},
                    PathCase {"ownWithoutHome", "/var/log/nd.log", nullptr, "/var/log/nd.log"}),
    [](const auto& p) { return p.param.label; });

TEST(DataPaths, TooLongOwnValueFallsBackToHome)
{
    ScopedRegistry registry;
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    ASSERT_TRUE(paths.setString("logFile", "/" + std::string(130, 'x')));
    ASSERT_TRUE(paths.setString("home", "/h"));
    EXPECT_EQ(DataPaths::resolve(SharedSettings::Paths::logFile, "ndlog.dat"), "/h/data/ndlog.dat");
}

TEST(DataPaths, FirstRunWritesTheDataFolderAsHome)
{
    ScopedRegistry registry;
    const std::string home = registry.firstRunHome();
    EXPECT_EQ(DataPaths::resolve(SharedSettings::Paths::logFile, "ndlog.dat"),
              home + "/data/ndlog.dat");
    EXPECT_TRUE(std::filesystem::is_directory(home + "/data"));
    const SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    EXPECT_EQ(paths.read(SharedSettings::Paths::home), home);
    // Written once: a home the user sets later holds.
    SettingsKey writable(RootKey::CurrentUser, SharedSettings::Paths::key);
    ASSERT_TRUE(writable.setString("home", "/srv/nd"));
    EXPECT_EQ(DataPaths::resolve(SharedSettings::Paths::logFile, "ndlog.dat"),
              "/srv/nd/data/ndlog.dat");
}

TEST(DataPaths, DefaultHomeFollowsTheDataFolderVariables)
{
    ScopedRegistry registry;
    setenv("XDG_DATA_HOME", "/x/data", 1);
    EXPECT_EQ(DataPaths::defaultHome(), "/x/data/norvane");
    // A relative XDG_DATA_HOME is to be ignored.
    setenv("XDG_DATA_HOME", "relative", 1);
    const char* userHome = std::getenv("HOME");
    if (userHome != nullptr && userHome[0] == '/') {
        EXPECT_EQ(DataPaths::defaultHome(),
                  std::string(userHome) + (std::string(userHome) == "/" ? "" : "/")
                      + ".local/share/norvane");
    }
}

} // namespace
