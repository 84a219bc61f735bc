#include "CliRun.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "stores/MessageHistory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class CliHistory : public testing::Test
{
protected:
    void SetUp() override
    {
        SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
        ASSERT_TRUE(paths.setString("home", m_registry.dir().file("home")));
    }
    ProcessResult history(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), "history");
        return runCli(m_registry, arguments);
    }
    std::string path() const { return m_registry.dir().file("home/data/msg.dat"); }

    ScopedRegistry m_registry;
};

TEST_F(CliHistory, ListsNewestFirstAsStoredThenPurges)
{
    MessageHistory store(path());
    ASSERT_TRUE(store.recordSent("555-1234/11;host!7", "first"));
    ASSERT_TRUE(store.recordSent("ops", "two\r\nlines"));
    ProcessResult result = history({"list"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "0\tops\ttwo<0d><0a>lines\n1\t555-1234/11;host!7\tfirst\n");

    result = history({"purge"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Message history deleted.\n");
    EXPECT_FALSE(std::filesystem::exists(path()));

    result = history({"list"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("no message history at " + path()), std::string::npos) << result.err;
}

TEST_F(CliHistory, ListStopsAtTheBound)
{
    SettingsKey messages(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Messages");
    ASSERT_TRUE(messages.setNumber("maxSavedCount", 2));
    std::string text;
    for (int i = 0; i < 5; ++i) {
        text += "r=" + std::to_string(i) + "\r\n";
    }
    const std::string other = m_registry.dir().write("other.dat", text);
    const ProcessResult result = history({"list", "--file", other});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "0\tr\t0\n1\tr\t1\n2\tr\t2\n");
}

TEST_F(CliHistory, UsageErrors)
{
    const struct
    {
        std::vector<std::string> arguments;
        const char* inStderr;
    } cases[] = {
        {{}, "history needs an action"},
        {{"show"}, "unknown action \"show\""},
        {{"list", "extra"}, "unexpected argument \"extra\""},
        {{"purge", "--all"}, "unknown option --all"},
    };
    for (const auto& c : cases) {
        const ProcessResult result = history(c.arguments);
        EXPECT_EQ(result.exitCode, 2) << result.err;
        EXPECT_NE(result.err.find(c.inStderr), std::string::npos) << result.err;
    }
}

TEST_F(CliHistory, HelpAndVersion)
{
    ProcessResult result = history({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("Usage: norvane-cli history list"), std::string::npos);
    result = history({"list", "--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("norvane-cli ", 0), 0u) << result.out;
    result = runCli(m_registry, {"--help"});
    EXPECT_NE(result.out.find("history   list or purge"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("saved     list, add, remove and schedule"), std::string::npos);
}

} // namespace
