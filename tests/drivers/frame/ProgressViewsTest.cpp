#include "PrivateLog.h"
#include "ScriptedDriver.h"
#include "frame/CompanionViewModule.h"
#include "frame/ProgressViewFactory.h"
#include "frame/SendFrame.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace std::chrono_literals;

namespace {

constexpr const char* testModule = NV_TEST_COMPANION_VIEW_PATH;

class ProgressViewsTest : public ::testing::Test
{
protected:
    ProgressViewsTest()
    {
        (void)messages.add("1", "one");
        (void)messages.add("2", "two");
        request.address = "5551234";
        request.timings.callWait = 10s;
        request.timings.updateWait = 2s;
        request.timings.threadWait = 10s;
        request.timings.statusPause = 0ms;
        driver.body = [](SendFrame& frame) {
            frame.setPhase(1);
            frame.setStatus("Dialing " + frame.address());
            frame.setProgress(3);
        };
    }

    int send(const FrameConfig& config = FrameConfig {})
    {
        SendFrame frame(config, driver);
        return frame.send(request, messages);
    }

    PrivateLog log;
    ScriptedDriver driver;
    MessageList messages;
    SendRequest request;
};

TEST_F(ProgressViewsTest, HeadlessViewWritesProgressToTheLog)
{
    request.viewFactory = ProgressViews::headless(nullptr);
    ASSERT_EQ(send(), 0);
    EXPECT_EQ(log.levelOf("Status: Dialing 5551234"), 9);
    EXPECT_EQ(log.levelOf("Phase: 1"), 10);
    EXPECT_EQ(log.levelOf("Progress: 3 of 4"), 10);
}

TEST_F(ProgressViewsTest, NoFactoryMeansHeadless)
{
    ASSERT_EQ(send(), 0);
    EXPECT_EQ(log.levelOf("Status: Dialing 5551234"), 9);
}

TEST_F(ProgressViewsTest, HostCancelReachesAHeadlessSend)
{
    std::atomic<bool> cancel {false};
    std::atomic<int> polls {0};
    request.viewFactory = ProgressViews::headless([&] {
        ++polls;
        return cancel.load();
    });
    driver.body = [&](SendFrame& frame) {
        frame.setStatus("Dialing " + frame.address());
        cancel = true;
        EXPECT_TRUE(frame.waitForCallEvent());
        EXPECT_TRUE(frame.cancelRequested());
    };
    EXPECT_EQ(send(), 213);
    EXPECT_EQ(driver.cancels.load(), 1);
    EXPECT_GT(polls.load(), 0);
    EXPECT_EQ(log.levelOf("Status: Aborting..."), 9);
    EXPECT_EQ(log.levelOf("User clicked cancel button"), 9);
    EXPECT_LT(log.indexOf("Status: Dialing 5551234"), log.indexOf("Status: Aborting..."));
}

TEST_F(ProgressViewsTest, HostCancelWaitsWhileCancelIsDisabled)
{
    std::atomic<bool> cancel {false};
    request.timings.callWait = 200ms;
    request.viewFactory = ProgressViews::headless([&] { return cancel.load(); });
    driver.body = [&](SendFrame& frame) {
        frame.setCancelEnabled(false);
        cancel = true;
        EXPECT_FALSE(frame.waitForCallEvent());
        EXPECT_FALSE(frame.cancelRequested());
    };
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(driver.cancels.load(), 0);
}

TEST_F(ProgressViewsTest, HiddenSendDoesNotLoadTheCompanion)
{
    request.viewFactory = ProgressViews::chosen(false, testModule, nullptr);
    request.providerName = "press cancel";
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(log.levelOf("Status: Dialing 5551234"), 9);
}

TEST_F(ProgressViewsTest, CompanionViewIsUsedWhenTheHostWantsProgress)
{
    request.viewFactory = ProgressViews::chosen(true, testModule, nullptr);
    request.providerName = "press cancel";
    driver.body = [](SendFrame& frame) { EXPECT_TRUE(frame.waitForCallEvent()); };
    EXPECT_EQ(send(), 213);
    // The companion's view took the updates: nothing went to the headless log lines.
    EXPECT_EQ(log.levelOf("Status: Aborting..."), -1);
    EXPECT_EQ(log.levelOf("User clicked cancel button"), 9);
    EXPECT_EQ(log.levelOf("Provider name=IXO/TAP Paging (press cancel)"), 10);
}

TEST_F(ProgressViewsTest, CompanionWithoutAGuiFallsBackToHeadless)
{
    FrameConfig config;
    config.tag = "nogui";
    request.viewFactory = ProgressViews::chosen(true, testModule, nullptr);
    EXPECT_EQ(send(config), 0);
    EXPECT_EQ(log.levelOf("Status: Dialing 5551234", "nogui"), 9);
    const std::string expected
        = std::string("Progress window not shown: the progress window module ") + testModule
        + " made no view (no GUI application, or a different interface version)";
    EXPECT_EQ(log.levelOf(expected, "nogui"), 5);
}

TEST_F(ProgressViewsTest, MissingCompanionFallsBackToHeadless)
{
    const std::string missing = log.registry().dir().file("libnothing_gui.so");
    request.viewFactory = ProgressViews::chosen(true, missing, nullptr);
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(log.levelOf("Status: Dialing 5551234"), 9);
    bool found = false;
    for (const LogEntry& entry : log.entries()) {
        found = found
            || (entry.level == 5
                && entry.message.starts_with("Progress window not shown: cannot load the "
                                             "GUI module "
                                             + missing));
    }
    EXPECT_TRUE(found);
}

TEST(CompanionViewModuleTest, ModuleLiesBesideTheLibrary)
{
    EXPECT_EQ(
        CompanionViewModule::besideLibrary("/opt/norvane/lib/libkestrel.so", "libkestrel_gui.so"),
        "/opt/norvane/lib/libkestrel_gui.so");
    EXPECT_EQ(CompanionViewModule::besideLibrary("", "libkestrel_gui.so"), "libkestrel_gui.so");
}

} // namespace
