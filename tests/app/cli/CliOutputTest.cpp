#include "CliRun.h"

#include <gtest/gtest.h>

#include <filesystem>

// What norvane-cli prints: output that cannot be written, stored text with control bytes,
// and a list of a book that could not be opened.
namespace {

constexpr const char* pathsKey = "HKCU\\SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths";

class CliOutputTest : public testing::Test
{
protected:
    void SetUp() override
    {
        home = registry.dir().file("home");
        std::filesystem::create_directories(home + "/data");
        ASSERT_EQ(run({"reg", "set", pathsKey, "home", "--string", home}).exitCode, 0);
    }

    ProcessResult run(std::vector<std::string> arguments) { return runCli(registry, arguments); }
    // The command with its standard output on /dev/full, where every write fails.
    ProcessResult runToFullDisk(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(),
                         {"/bin/sh", "-c", "exec \"$@\" >/dev/full", "sh", NORVANE_CLI_PATH});
        return ProcessRunner::run(arguments, {{"NORVANE_REGISTRY", registry.path()}});
    }

    ScopedRegistry registry;
    std::string home;
};

TEST_F(CliOutputTest, OutputThatCannotBeWrittenFailsTheCommand)
{
    ASSERT_EQ(run({"providers", "add", "Acme Paging", "555-0100"}).exitCode, 0);
    ASSERT_EQ(run({"adb", "add", "Pat", "Acme Paging/0012"}).exitCode, 0);
    ASSERT_EQ(run({"saved", "add", "Disk", "Pat", "Disk full"}).exitCode, 0);
    registry.dir().write("home/data/msg.dat", "Pat=Disk full\r\n");

    const std::vector<std::string> commands[] = {
        {"--help"},
        {"--version"},
        {"saved", "list"},
        {"saved", "show", "Disk"},
        {"history", "list"},
        {"providers", "list"},
        {"adb", "list"},
        {"adb", "info", "Pat"},
        {"reg", "query", pathsKey},
        {"address", "check", "Pat"},
        {"lines"},
    };
    for (const auto& arguments : commands) {
        // The same command to a pipe works: only the output fails.
        const ProcessResult working = run(arguments);
        ASSERT_EQ(working.exitCode, 0) << arguments[0] << working.err;
        ASSERT_FALSE(working.out.empty()) << arguments[0];

        const ProcessResult result = runToFullDisk(arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments[0] << (arguments.size() > 1 ? arguments[1] : "");
        EXPECT_NE(result.err.find("norvane-cli: cannot write the output: No space left on device"),
                  std::string::npos)
            << result.err;
    }
}

TEST_F(CliOutputTest, BookAndProviderListsPrintControlBytesEscaped)
{
    ASSERT_EQ(run({"providers", "add", "Evil\x1b[2J", "555\x07"}).exitCode, 0);
    ASSERT_EQ(run({"adb", "add", "Pat\x1b[31m", "555-1234/\x1b]0;x\x07"}).exitCode, 0);
    const struct
    {
        std::vector<std::string> arguments;
        std::string out;
    } cases[] = {
        {{"providers", "list"}, "Evil\\x1b[2J\t555\\x07\n"},
        {{"providers", "name", "555\x07"}, "Evil\\x1b[2J\n"},
        {{"adb", "list"}, "Pat\\x1b[31m\t555-1234/\\x1b]0;x\\x07\n"},
        {{"adb", "info", "Pat\x1b[31m"}, "555-1234/\\x1b]0;x\\x07\n"},
        {{"adb", "find", "Pat"}, "Pat\\x1b[31m\n"},
    };
    for (const auto& one : cases) {
        const ProcessResult result = run(one.arguments);
        EXPECT_EQ(result.exitCode, 0) << one.arguments[1] << result.err;
        EXPECT_EQ(result.out, one.out) << one.arguments[1];
    }

    // The log holds what SNPP clients sent.
    const std::string log = registry.dir().write("ndlog.dat", "1,100,SNPP(x\x1b[8m):a\x1b[2Jb\r\n");
    ASSERT_EQ(run({"reg", "set", pathsKey, "logFile", "--string", log}).exitCode, 0);
    const ProcessResult shown = run({"log"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_NE(shown.out.find("SNPP(x\\x1b[8m): a\\x1b[2Jb\n"), std::string::npos) << shown.out;
    EXPECT_EQ(shown.out.find('\x1b'), std::string::npos) << shown.out;
}

TEST_F(CliOutputTest, AdbListFailsWhenTheBookCannotBeOpened)
{
    // The book's file would lie below a regular file: it can be neither opened nor created.
    const std::string blocker = registry.dir().write("blocker", "not a folder");
    ASSERT_EQ(
        run({"reg", "set", pathsKey, "simpleAdb", "--string", blocker + "/simpleAdb.mdb"}).exitCode,
        0);
    const ProcessResult result = run({"adb", "list"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    // The error names the file, whichever step found the fault.
    EXPECT_NE(result.err.find(blocker + "/simpleAdb.mdb"), std::string::npos) << result.err;
}

} // namespace
