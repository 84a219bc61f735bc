#include "log/LogFile.h"

#include "PrivateLog.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <regex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// The line with its time field replaced by "T", so it can be compared byte for byte.
std::string withoutTime(const std::string& text)
{
    return std::regex_replace(text, std::regex("^(-?[0-9]+),[0-9]+,", std::regex::multiline),
                              "$1,T,");
}

TEST(LogFile, MessageAndDumpLinesAreByteExact)
{
    PrivateLog settings(12);
    const auto before = static_cast<std::int32_t>(std::time(nullptr));
    {
        LogFile log;
        EXPECT_TRUE(log.write(5, "SNPP", "Connection accepted from host(%s)", "10.0.0.7"));
        LogFile plugIn(LogFile::Mode::PlugIn);
        plugIn.loadSettings();
        ASSERT_TRUE(plugIn.openForAppend());
        EXPECT_TRUE(plugIn.writeDump(11, "plover", "Write", "SEND\r\n", 6));
        const unsigned char bytes[] = {0x41, 0x0d, 0x7f, 0x80};
        EXPECT_TRUE(plugIn.writeDump(11, "kestrel", "Read", bytes, sizeof bytes));
        EXPECT_TRUE(plugIn.writeDump(11, "kestrel", "Read(TO)", nullptr, 0));
    }
    const std::string text = settings.content();
    EXPECT_EQ(withoutTime(text),
              "5,T,SNPP:Connection accepted from host(10.0.0.7)\r\n"
              "11,T,plover:Write=6[SEND<0d><0a>]\r\n"
              "11,T,kestrel:Read=4[A<0d>\x7f<80>]\r\n"
              "11,T,kestrel:Read(TO)=0[]\r\n");
    const auto after = static_cast<std::int32_t>(std::time(nullptr));
    const std::int32_t stamp = std::stoi(text.substr(text.find(',') + 1));
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);
}

struct LevelCase
{
    int configured;
    int line;
    bool written;
};

class LogFileLevels : public testing::TestWithParam<LevelCase>
{ };

TEST_P(LogFileLevels, WritesOnlyLinesAtOrBelowTheConfiguredLevel)
{
    PrivateLog settings(GetParam().configured);
    LogFile log;
    EXPECT_TRUE(log.write(GetParam().line, "Local", "x"));
    EXPECT_EQ(!settings.content().empty(), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Levels, LogFileLevels,
                         testing::Values(LevelCase {4, 4, true}, LevelCase {4, 5, false},
                                         LevelCase {4, 1, true}, LevelCase {0, 1, false},
                                         LevelCase {0, 0, true}, LevelCase {12, 12, true},
                                         LevelCase {11, 12, false}));

TEST(LogFile, DefaultLevelIsTransactions)
{
    ScopedRegistry registry;
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    ASSERT_TRUE(paths.setString("logFile", registry.dir().file("ndlog.dat")));
    LogFile log;
    EXPECT_EQ(log.level(), 4);
    EXPECT_EQ(log.maxSize(), 50);
}

TEST(LogFile, BareNameInTheWorkingFolderWithAnEmptyHome)
{
    ScopedRegistry registry;
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    ASSERT_TRUE(paths.setString("home", ""));
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(registry.dir().path().c_str()), 0);
    {
        LogFile log;
        EXPECT_EQ(log.path(), "ndlog.dat");
        EXPECT_TRUE(log.write(1, "Local", "here"));
    }
    EXPECT_EQ(chdir(previous), 0);
    EXPECT_NE(registry.dir().read("ndlog.dat").find("Local:here"), std::string::npos);
}

TEST(LogFile, PlugInDropsLinesOutsideASendProgramWritesThem)
{
    PrivateLog settings(4);
    LogFile plugIn(LogFile::Mode::PlugIn);
    // Settings not loaded yet: opening succeeds without opening anything.
    EXPECT_TRUE(plugIn.openForAppend());
    EXPECT_FALSE(plugIn.isOpen());
    plugIn.loadSettings();
    EXPECT_FALSE(plugIn.write(1, "kestrel", "outside"));
    EXPECT_TRUE(settings.content().empty());
    ASSERT_TRUE(plugIn.openForAppend());
    EXPECT_TRUE(plugIn.write(1, "kestrel", "inside"));
    plugIn.close();
    EXPECT_FALSE(plugIn.write(1, "kestrel", "after"));

    LogFile program;
    EXPECT_TRUE(program.write(1, "Local", "any time"));
    EXPECT_FALSE(program.isOpen());
    const std::string text = settings.content();
    EXPECT_EQ(text.find("outside"), std::string::npos);
    EXPECT_NE(text.find("kestrel:inside"), std::string::npos);
    EXPECT_EQ(text.find("after"), std::string::npos);
    EXPECT_NE(text.find("Local:any time"), std::string::npos);
}

TEST(LogFile, UnwritablePathFailsQuietly)
{
    ScopedRegistry registry;
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    ASSERT_TRUE(paths.setString("logFile", registry.dir().file("no/such/folder/ndlog.dat")));
    LogFile log;
    EXPECT_FALSE(log.write(1, "Local", "lost"));
    EXPECT_FALSE(log.openForAppend());
    EXPECT_FALSE(log.openForReading());
}

TEST(LogFile, LineBreaksAndSeparatorsCannotBreakTheLine)
{
    PrivateLog settings(4);
    LogFile log;
    EXPECT_TRUE(log.write(4, "Sch(Alarm: disk,full)", "first\r\nsecond\nthird"));
    EXPECT_TRUE(log.write(4, "Local", "next"));
    // A terminal's forced disconnect quoted in a message line is escaped as a dump line has it.
    EXPECT_TRUE(log.write(4, "kestrel", "Modem answer: \x1b\x04 bye\t\x7f \xc3\xa9"));
    EXPECT_EQ(withoutTime(settings.content()),
              "4,T,Sch(Alarm_ disk_full):first<0d><0a>second<0a>third\r\n4,T,Local:next\r\n"
              "4,T,kestrel:Modem answer: <1b><04> bye<09><7f> \xc3\xa9\r\n");

    ASSERT_TRUE(log.openForReading());
    LogEntry entry;
    ASSERT_TRUE(log.readEntry(entry));
    EXPECT_EQ(entry.tag, "Sch(Alarm_ disk_full)");
    EXPECT_EQ(entry.message, "first<0d><0a>second<0a>third");
    ASSERT_TRUE(log.readEntry(entry));
    EXPECT_EQ(entry.message, "next");
    ASSERT_TRUE(log.readEntry(entry));
    EXPECT_FALSE(log.readEntry(entry));
}

TEST(LogFile, RemoveFileDeletesTheLog)
{
    PrivateLog settings(4);
    LogFile log;
    ASSERT_TRUE(log.write(1, "Local", "x"));
    log.removeFile();
    EXPECT_FALSE(log.openForReading());
    log.removeFile(); // a missing file is not an error
    EXPECT_TRUE(log.write(1, "Local", "y"));
    EXPECT_NE(settings.content().find("Local:y"), std::string::npos);
}

TEST(LogFile, LinesOfManyWritersNeverMix)
{
    PrivateLog settings(12);
    constexpr int lines = 200;
    const std::string payload(300, 'p');
    const pid_t child = fork();
    if (child == 0) {
        LogFile log;
        for (int i = 0; i < lines; ++i) {
            (void)log.write(4, "child", "%d %s", i, payload.c_str());
        }
        _exit(0);
    }
    LogFile plugIn(LogFile::Mode::PlugIn);
    plugIn.loadSettings();
    ASSERT_TRUE(plugIn.openForAppend());
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < lines; ++i) {
                (void)plugIn.writeDump(11, "thread" + std::to_string(t), "Write", payload.data(),
                                       payload.size());
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    plugIn.close();

    LogFile reader;
    ASSERT_TRUE(reader.openForReading());
    LogEntry entry;
    int count = 0;
    while (reader.readEntry(entry)) {
        ++count;
        if (entry.tag == "child") {
            EXPECT_EQ(entry.message.substr(entry.message.find(' ') + 1), payload);
        } else {
            EXPECT_EQ(entry.message, "Write=300[" + payload + "]");
        }
    }
    EXPECT_EQ(count, 3 * lines);
}

} // namespace

namespace {

TEST(LogFile, EachLogSeesTheSettingsAsTheyStandWhoeverChangedThem)
{
    // A log is made per client and per send; what a log reads must never outlive a change,
    // here or in another process.
    PrivateLog settings(4);
    {
        LogFile log;
        EXPECT_FALSE(log.passes(6));
    }
    settings.setLevel(6);
    {
        LogFile log;
        EXPECT_TRUE(log.passes(6));
        EXPECT_TRUE(log.write(6, "T", "at six"));
    }
    // Another process replaces the store file (as every writer does): the next log reads it.
    std::string text = settings.registry().dir().read("registry.reg");
    const std::string from = "\"logLevel\"=dword:00000006";
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, from.size(), "\"logLevel\"=dword:00000002");
    const std::string other = settings.registry().dir().file("other.reg");
    {
        std::ofstream out(other, std::ios::binary);
        out << text;
    }
    ASSERT_EQ(std::rename(other.c_str(), settings.registry().path().c_str()), 0);
    LogFile log;
    EXPECT_EQ(log.level(), 2);
    EXPECT_EQ(log.path(), settings.logPath());
}

} // namespace
