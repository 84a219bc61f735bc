// norvane-cli serve's scheduler thread sends a due saved message through the real SNPP
// plug-in. The scheduler wakes every five seconds, so this waits up to twenty.
#include "ServeFixture.h"
#include "SnppTestServer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>

namespace {

// Local hour and minute of a time, as "HH:MM".
std::string localClock(std::time_t when)
{
    std::tm fields {};
    localtime_r(&when, &fields);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", fields.tm_hour, fields.tm_min);
    return text;
}

int localSecond(std::time_t when)
{
    std::tm fields {};
    localtime_r(&when, &fields);
    return fields.tm_sec;
}

TEST_F(ServeTest, TheSchedulerSendsADueSavedMessage)
{
    SnppTestServer snpp;
    ASSERT_TRUE(snpp.start());
    const std::string pager = snpp.address() + "!77";
    const ProcessResult added
        = runCli(registry, {"saved", "add", "Disk alarm", pager, "Disk full"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    // Due in this minute when at least 30 seconds of it are left for serve's start and its
    // first passes (a loaded machine or a sanitizer build starts slowly), else in the next one.
    std::time_t now = std::time(nullptr);
    if (localSecond(now) > 30) {
        now += 60;
    }
    const ProcessResult scheduled
        = runCli(registry, {"saved", "schedule", "Disk alarm", "weekly", "all", localClock(now)});
    ASSERT_EQ(scheduled.exitCode, 0) << scheduled.err;
    const std::string unsent = "Last sent:  Never\n";
    ASSERT_NE(runCli(registry, {"saved", "show", "Disk alarm"}).out.find(unsent),
              std::string::npos);
    // The gateway stays off: the scheduler runs alone.
    configureGateway(false, gatewayPort.text());
    ASSERT_TRUE(startServe());

    ASSERT_TRUE(waitForLog("Sch(Disk alarm):Message (" + pager + ",3,0): Sent successfully", 45000))
        << logText() << serve.err();
    ASSERT_EQ(snpp.pages().size(), 1U);
    EXPECT_EQ(snpp.pages()[0].pager, "77");
    EXPECT_EQ(snpp.pages()[0].message, "Disk full");
    // Marked as sent, and not added to the history.
    const ProcessResult shown = runCli(registry, {"saved", "show", "Disk alarm"});
    EXPECT_NE(shown.out.find("Last sent:  "), std::string::npos) << shown.out;
    EXPECT_EQ(shown.out.find(unsent), std::string::npos) << shown.out;
    EXPECT_EQ(registry.dir().read("data/msg.dat"), "");

    ASSERT_TRUE(serve.signal(SIGTERM));
    const std::optional<ChildProcess::Ending> ending = serve.waitForEnd(5000);
    ASSERT_TRUE(ending.has_value()) << serve.err();
    EXPECT_EQ(ending->exitCode, 0) << serve.err();
}

} // namespace
