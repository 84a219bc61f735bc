#include "settings/DataPaths.h"

#include "ScopedRegistry.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <gtest/gtest.h>

namespace {

struct PathCase
{
    const char* label;
    const char* logFile;
    const char* home;
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
    if (*GetParam().home) {
        ASSERT_TRUE(paths.setString("home", GetParam().home));
    }
    EXPECT_EQ(DataPaths::resolve(SharedSettings::Paths::logFile, "ndlog.dat"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DataPathsRules,
    testing::Values(PathCase {"bare", "", "", "ndlog.dat"},
                    PathCase {"home", "", "/opt/nd", "/opt/nd/data/ndlog.dat"},
                    PathCase {"homeSlash", "", "/opt/nd/", "/opt/nd/data/ndlog.dat"},
                    PathCase {"own", "/var/log/nd.log", "/opt/nd", "/var/log/nd.log"}),
    [](const auto& p) { return p.param.label; });

TEST(DataPaths, TooLongOwnValueFallsBackToHome)
{
    ScopedRegistry registry;
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    ASSERT_TRUE(paths.setString("logFile", "/" + std::string(130, 'x')));
    ASSERT_TRUE(paths.setString("home", "/h"));
    EXPECT_EQ(DataPaths::resolve(SharedSettings::Paths::logFile, "ndlog.dat"), "/h/data/ndlog.dat");
}

} // namespace
