// The first run of the built norvane-cli, as a new user has it: an empty settings store, no
// `home` value, no registered driver, started in some working folder.
#include "ProcessRunner.h"
#include "ScopedRegistry.h"
#include "SnppTestServer.h"
#include "plugin/ClassRegistry.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr std::string_view ploverClassId = "{518B4086-2747-11D2-AC39-000000000000}";

class CliFirstRun : public testing::Test
{
protected:
    CliFirstRun()
    {
        std::filesystem::create_directories(m_work);
        std::filesystem::create_directories(registry.dir().file("home"));
    }

    // Runs `program` with the arguments in the working folder, as a user of this folder.
    ProcessResult run(const std::string& program, std::vector<std::string> arguments) const
    {
        arguments.insert(arguments.begin(),
                         {"/bin/sh", "-c", "cd \"$0\" && exec \"$@\"", m_work, program});
        return ProcessRunner::run(arguments,
                                  {{"NORVANE_REGISTRY", registry.path()},
                                   {"XDG_DATA_HOME", registry.dir().file("xdg-data")},
                                   {"HOME", registry.dir().file("home")}});
    }

    bool workingFolderIsEmpty() const { return std::filesystem::is_empty(m_work); }

    ScopedRegistry registry;
    std::string m_work = registry.dir().file("work");
};

TEST_F(CliFirstRun, AFirstPageRegistersTheDriverAndKeepsTheDataInTheDataFolder)
{
    ASSERT_FALSE(std::filesystem::exists(registry.path()));
    SnppTestServer server;
    ASSERT_TRUE(server.start());
    const ProcessResult result = run(NORVANE_CLI_PATH, {"send", server.address() + "!123", "Hi"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    ASSERT_EQ(server.pages().size(), 1U) << result.out;
    EXPECT_EQ(server.pages()[0].message, "Hi");

    const std::string home = registry.firstRunHome();
    const SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    EXPECT_EQ(paths.read(SharedSettings::Paths::home), home);
    EXPECT_TRUE(workingFolderIsEmpty());
    EXPECT_NE(registry.dir().read("xdg-data/norvane/data/msg.dat").find("Hi"), std::string::npos);
    const std::string log = registry.dir().read("xdg-data/norvane/data/ndlog.dat");
    EXPECT_NE(log.find("Registered the plover driver"), std::string::npos) << log;

    // The registration names the plug-in the build made, which a second run then loads.
    ClassRegistry classes;
    std::string library;
    ASSERT_TRUE(classes.libraryPath(ploverClassId, library)) << classes.lastErrorText();
    EXPECT_TRUE(std::filesystem::equivalent(library, NV_PLOVER_PLUGIN_PATH)) << library;
    const ProcessResult again = run(NORVANE_CLI_PATH, {"send", server.address() + "!124", "Ho"});
    EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
    EXPECT_EQ(server.pages().size(), 2U);
}

TEST_F(CliFirstRun, AnEmptyHomeKeepsBareNamesButWritesThemBackAbsolute)
{
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    ASSERT_TRUE(paths.setString("home", ""));
    const ProcessResult result = run(NORVANE_CLI_PATH, {"providers", "list"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::filesystem::is_regular_file(m_work + "/pspDbs.mdb"));
    EXPECT_EQ(paths.read(SharedSettings::Paths::home), "");
    const std::string written = paths.read(StringSetting {"pspDbs", "", 260});
    EXPECT_EQ(written, std::filesystem::canonical(m_work).string() + "/pspDbs.mdb");
}

TEST_F(CliFirstRun, WithoutAPlugInBesideTheProgramTheRowNamesTheCommandThatFixesIt)
{
    // A copy of the program in a folder of its own has no plug-ins beside it.
    const std::string alone = registry.dir().file("bin/norvane-cli");
    std::filesystem::create_directories(registry.dir().file("bin"));
    std::filesystem::copy_file(NORVANE_CLI_PATH, alone);
    SnppTestServer server;
    ASSERT_TRUE(server.start());
    const ProcessResult result = run(alone, {"send", server.address() + "!123", "Hi"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(
        result.out.find("norvane-cli regsvr " + registry.dir().file("lib/norvane/libplover.so")),
        std::string::npos)
        << result.out;
    EXPECT_TRUE(server.pages().empty());
}

TEST_F(CliFirstRun, AnInstalledProgramFindsItsPlugInsInLibNorvane)
{
    // <prefix>/bin/norvane-cli and <prefix>/lib/norvane/libplover.so, as cmake --install lays
    // them out.
    const std::string prefix = registry.dir().file("prefix");
    std::filesystem::create_directories(prefix + "/bin");
    std::filesystem::create_directories(prefix + "/lib/norvane");
    std::filesystem::copy_file(NORVANE_CLI_PATH, prefix + "/bin/norvane-cli");
    std::filesystem::copy_file(NV_PLOVER_PLUGIN_PATH, prefix + "/lib/norvane/libplover.so");
    SnppTestServer server;
    ASSERT_TRUE(server.start());
    const ProcessResult result
        = run(prefix + "/bin/norvane-cli", {"send", server.address() + "!123", "Hi"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(server.pages().size(), 1U);
    ClassRegistry classes;
    std::string library;
    ASSERT_TRUE(classes.libraryPath(ploverClassId, library)) << classes.lastErrorText();
    EXPECT_EQ(library, prefix + "/lib/norvane/libplover.so");
}

} // namespace
