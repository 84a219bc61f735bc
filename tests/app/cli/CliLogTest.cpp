#include "CliRun.h"
#include "PrivateLog.h"
#include "log/LogFile.h"

#include <gtest/gtest.h>

#include <ctime>
#include <thread>
#include <unistd.h>

namespace {

// A private store whose log file is a file of the test with the given lines.
class CliLog : public testing::Test
{
protected:
    void writeLog(const std::string& text) { m_registry.dir().write("ndlog.dat", text); }
    ProcessResult run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), "log");
        return runCli(m_registry, arguments);
    }
    PrivateLog m_log {4};
    const ScopedRegistry& m_registry = m_log.registry();
};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        result.push_back(text.substr(start, end - start));
    }
    return result;
}

TEST_F(CliLog, NewestFirstFilteredByLevel)
{
    writeLog("1,100,Local:fatal one\r\n4,200,SNPP:transaction\r\n6,300,kestrel:debug line\r\n");
    const ProcessResult shown = run({});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const std::vector<std::string> out = lines(shown.out);
    ASSERT_EQ(out.size(), 2u) << shown.out;
    EXPECT_EQ(out[0].rfind("Trans", 0), 0u);
    EXPECT_NE(out[0].find("SNPP: transaction"), std::string::npos);
    EXPECT_EQ(out[1].rfind("Fatal", 0), 0u);

    EXPECT_EQ(lines(run({"--level", "Debug"}).out).size(), 3u);
    EXPECT_EQ(lines(run({"--level", "1"}).out).size(), 1u);
    EXPECT_EQ(lines(run({"--level=Errors"}).out).size(), 1u);
}

TEST_F(CliLog, TimeIsLocalHourMinuteMonthDayYear)
{
    std::tm local {};
    local.tm_year = 98;
    local.tm_mon = 6;
    local.tm_mday = 3;
    local.tm_hour = 14;
    local.tm_min = 5;
    local.tm_isdst = -1;
    const std::time_t stamp = std::mktime(&local);
    writeLog("4," + std::to_string(stamp) + ",Local:sent\r\n");
    EXPECT_NE(run({}).out.find("14:05 07/03/1998"), std::string::npos);
}

TEST_F(CliLog, StopsAtAMalformedLineAndSaysSo)
{
    writeLog("1,100,A:first\r\nbroken line\r\n1,300,C:third\r\n");
    const ProcessResult shown = run({});
    EXPECT_EQ(lines(shown.out).size(), 1u);
    EXPECT_NE(shown.err.find("not a log entry"), std::string::npos) << shown.err;
}

TEST_F(CliLog, MissingFileListsNothingAndPurgeDeletes)
{
    const ProcessResult missing = run({});
    EXPECT_EQ(missing.exitCode, 0);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("no log file"), std::string::npos);

    writeLog("1,100,A:x\r\n");
    const ProcessResult purged = run({"--purge"});
    EXPECT_EQ(purged.exitCode, 0);
    EXPECT_EQ(purged.out, "All logged messaged deleted.\n");
    EXPECT_TRUE(run({}).out.empty());
}

TEST_F(CliLog, FileOptionReadsAnotherLog)
{
    const std::string other = m_registry.dir().write("other.dat", "2,5,X:elsewhere\r\n");
    EXPECT_NE(run({"--file", other}).out.find("X: elsewhere"), std::string::npos);
}

TEST_F(CliLog, FollowPrintsNewEntriesAndSurvivesAPurge)
{
    writeLog("4,100,A:old\r\n");
    std::thread writer([this] {
        usleep(500000);
        LogFile log;
        (void)log.write(4, "Local", "appended");
        (void)log.write(9, "Local", "too detailed");
        usleep(400000);
        log.removeFile();
        (void)log.write(2, "SNPP", "after purge");
    });
    // The follower runs until the runner's time limit ends it.
    const ProcessResult followed = ProcessRunner::run(
        {NORVANE_CLI_PATH, "log", "--follow"}, {{"NORVANE_REGISTRY", m_registry.path()}}, {}, 2000);
    writer.join();
    EXPECT_TRUE(followed.timedOut);
    const std::vector<std::string> out = lines(followed.out);
    ASSERT_EQ(out.size(), 3u) << followed.out;
    EXPECT_NE(out[0].find("A: old"), std::string::npos);
    EXPECT_NE(out[1].find("Local: appended"), std::string::npos);
    EXPECT_NE(out[2].find("SNPP: after purge"), std::string::npos);
}

} // namespace
