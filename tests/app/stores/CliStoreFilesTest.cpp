#include "CliRun.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "stores/MessageHistory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

// norvane-cli saved and history against store files that are not what a store expects:
// other line ends, paths that name no regular file, read-only files and hostile contents.
namespace {

constexpr char d = '\x05';

std::string record(const std::string& name, const std::string& recipients,
                   const std::string& message)
{
    return name + d + "-" + d + recipients + d + message;
}

class CliStoreFiles : public testing::Test
{
protected:
    ProcessResult run(std::vector<std::string> arguments)
    {
        // A bound far below the test's own time-out: a command that reads without end is
        // ended and reported, never left to hang the run.
        arguments.insert(arguments.begin(), NORVANE_CLI_PATH);
        return ProcessRunner::run(
            arguments, {{"NORVANE_REGISTRY", m_registry.path()}, {"TZ", "UTC0"}}, {}, 8000);
    }
    std::string file(const std::string& name) const { return m_registry.dir().file(name); }
    std::string read(const std::string& name) const { return m_registry.dir().read(name); }
    void setPath(const char* value, const std::string& path)
    {
        SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
        ASSERT_TRUE(paths.setString(value, path));
    }

    ScopedRegistry m_registry;
};

TEST_F(CliStoreFiles, CrOnlyLineEndsKeepEveryRecord)
{
    // Saved messages: a change rewrites every record, an add appends after the last one.
    m_registry.dir().write("canMsg.dat",
                           record("One", "r1", "m1") + "\r" + record("Two", "r2", "m2") + "\r"
                               + record("Three", "r3", "m3") + "\r");
    ProcessResult result = run({"saved", "--file", file("canMsg.dat"), "clear", "One"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(read("canMsg.dat"),
              std::string("One") + d + "- 000 00 00 00 00 000000000000" + d + "r1" + d + "m1\r\n"
                  + record("Two", "r2", "m2") + "\r\n" + record("Three", "r3", "m3") + "\r\n");

    m_registry.dir().write("cr.dat", record("A", "r", "m") + "\r" + record("B", "r", "m") + "\r");
    ASSERT_EQ(run({"saved", "--file", file("cr.dat"), "add", "C", "r", "m"}).exitCode, 0);
    result = run({"saved", "--file", file("cr.dat"), "list"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "Name  Schedule       Last sent\n"
              "A     Not scheduled  Never\n"
              "B     Not scheduled  Never\n"
              "C     Not scheduled  Never\n");

    // The history: every entry is listed, and the next send keeps them all.
    m_registry.dir().write("msg.dat", "ops=one\rdev=two\rqa=three\r");
    result = run({"history", "--file", file("msg.dat"), "list"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "0\tops\tone\n1\tdev\ttwo\n2\tqa\tthree\n");
    MessageHistory history(file("msg.dat"));
    ASSERT_TRUE(history.recordSent("new", "four")) << MessageHistory::lastErrorText();
    EXPECT_EQ(read("msg.dat"), "new=four\r\nops=one\r\ndev=two\r\nqa=three\r\n");
}

struct NotAFile
{
    const char* label;
    std::vector<std::string> arguments; // "@" stands for the path
    const char* setting; // the Paths value that names it instead of --file, or nullptr
    bool changes; // whether the command would write or delete the store
};

TEST_F(CliStoreFiles, PathsThatNameNoRegularFileAreRefused)
{
    const std::string fifo = file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = file("folder");
    std::filesystem::create_directory(folder);
    // Larger than any store may be, without taking the disk: a sparse file.
    const std::string huge = m_registry.dir().write("huge.dat", "x");
    std::filesystem::resize_file(huge, 64 * 1024 * 1024 + 1);
    ASSERT_TRUE(std::filesystem::is_character_file("/dev/zero"));

    const NotAFile commands[] = {
        {"saved list", {"saved", "--file", "@", "list"}, nullptr, false},
        {"saved add", {"saved", "--file", "@", "add", "N", "r", "m"}, nullptr, true},
        {"saved remove", {"saved", "--file", "@", "remove", "N"}, nullptr, true},
        {"history list", {"history", "--file", "@", "list"}, nullptr, false},
        {"history purge", {"history", "--file", "@", "purge"}, nullptr, true},
        {"canMsgDbs", {"saved", "list"}, "canMsgDbs", false},
        {"msgDbs", {"history", "list"}, "msgDbs", false},
    };
    const struct
    {
        std::string path;
        const char* why;
    } paths[] = {
        {"/dev/zero", "a character device, not a regular file"},
        {fifo, "a FIFO (named pipe), not a regular file"},
        {folder, "a folder, not a regular file"},
        {huge, "more than 64 MiB"},
    };
    for (const auto& path : paths) {
        for (const NotAFile& command : commands) {
            // The system's device gets only reads: a fault must not damage it (an old purge
            // deleted it). A large regular file may be purged.
            if (command.changes
                && (path.path == "/dev/zero"
                    || (path.path == huge && command.arguments.back() == "purge"))) {
                continue;
            }
            std::vector<std::string> arguments = command.arguments;
            for (std::string& argument : arguments) {
                if (argument == "@") {
                    argument = path.path;
                }
            }
            if (command.setting != nullptr) {
                setPath(command.setting, path.path);
            }
            const ProcessResult result = run(arguments);
            EXPECT_EQ(result.exitCode, 1) << command.label << " on " << path.path << result.err;
            EXPECT_FALSE(result.timedOut) << command.label << " on " << path.path;
            EXPECT_NE(result.err.find(path.path), std::string::npos) << result.err;
            EXPECT_NE(result.err.find(path.why), std::string::npos) << result.err;
        }
    }
    // Nothing was put beside them or into the folder.
    EXPECT_FALSE(std::filesystem::exists(file("fifo.lock")));
    EXPECT_FALSE(std::filesystem::exists(file("folder.lock")));
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST_F(CliStoreFiles, ReadOnlyStoresAreNotRewritten)
{
    const std::string saved
        = m_registry.dir().write("canMsg.dat", record("One", "r", "m") + "\r\n");
    const std::string history = m_registry.dir().write("msg.dat", "ops=one\r\n");
    ASSERT_EQ(::chmod(saved.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(history.c_str(), 0444), 0);
    const std::vector<std::string> changes[] = {
        {"saved", "--file", saved, "add", "Two", "r", "m"},
        {"saved", "--file", saved, "remove", "One"},
        {"saved", "--file", saved, "clear", "One"},
        {"saved", "--file", saved, "schedule", "One", "weekly", "Mon", "08:00"},
        {"history", "--file", history, "purge"},
    };
    for (const auto& arguments : changes) {
        const ProcessResult result = run(arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments[3];
        EXPECT_NE(result.err.find(arguments[2] + " is read-only"), std::string::npos) << result.err;
    }
    EXPECT_EQ(read("canMsg.dat"), record("One", "r", "m") + "\r\n");
    EXPECT_EQ(read("msg.dat"), "ops=one\r\n");
    struct stat info
    { };
    ASSERT_EQ(::stat(saved.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
    // Reading is still fine.
    EXPECT_EQ(run({"saved", "--file", saved, "list"}).exitCode, 0);
}

TEST_F(CliStoreFiles, StoredControlBytesArePrintedEscaped)
{
    // An escape sequence (ESC and the 8-bit CSI, also as UTF-8), a bell, a backspace, a tab.
    const std::string hostile = "a\x1b]0;owned\x07\x08\tb\x9b"
                                "2J\xc2\x9b"
                                "2J\\ \xc3\xa9";
    const std::string shown = "a\\x1b]0;owned\\x07\\x08\\tb\\x9b2J\\xc2\\x9b2J\\\\ \xc3\xa9";
    m_registry.dir().write("canMsg.dat", record(hostile, "r" + hostile, "m" + hostile) + "\r\n");
    m_registry.dir().write("msg.dat", "r" + hostile + "=m" + hostile + "\r\n");

    ProcessResult result = run({"saved", "--file", file("canMsg.dat"), "list"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("\n" + shown + "  Not scheduled"), std::string::npos) << result.out;
    std::string all = result.out;

    result = run({"saved", "--file", file("canMsg.dat"), "show", hostile});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Name:       " + shown + "\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("To:         r" + shown + "\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Message:    m" + shown + "\n"), std::string::npos) << result.out;
    all += result.out;

    result = run({"history", "--file", file("msg.dat"), "list"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "0\tr" + shown + "\tm" + shown + "\n");
    all += result.out;

    for (const char c : all) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte == '\n' || byte == '\t' || (byte >= 0x20 && byte != 0x7F && byte != 0x9B))
            << "raw byte " << static_cast<int>(byte) << " in " << all;
    }
}

} // namespace
