// The plover control and driver object on a scripted progress view that a person could see:
// what the session shows there (animation, Cancel button, the readable pause), a Cancel press,
// and a view that cannot be shown, where the frame's bounded wait has to stop the protocol.
#include "FreePort.h"
#include "PrivateLog.h"
#include "ScriptedView.h"
#include "SnppTestServer.h"
#include "plover/CPloverCtrl.h"
#include "plover/CPloverDriver.h"
#include "plover/PloverSettings.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class PloverDriverTest : public ::testing::Test
{
protected:
    PloverDriverTest()
    {
        setNumber("replyTimeoutMs", 2000);
        setNumber("lookupTimeoutMs", 2000);
        setNumber("statusPauseMs", 0);
        setNumber("updateWaitMs", 2000);
    }

    void SetUp() override { ASSERT_TRUE(server.start()); }

    static void setNumber(const std::string& name, std::int32_t value)
    {
        SettingsKey key(RootKey::CurrentUser, PloverKeys::key);
        EXPECT_TRUE(key.setNumber(name, value)) << name;
    }

    // A control whose sends show `view`.
    std::unique_ptr<CPloverCtrl> control(ScriptedView& view)
    {
        ProgressViewFactory views = [&view](const ProgressViewSetup& setup, SendReporter&) {
            EXPECT_EQ(setup.caption, "SNPP Paging");
            EXPECT_EQ(setup.versionLabel, "");
            EXPECT_EQ(setup.rightClip, 203);
            EXPECT_EQ(setup.connectingLastFrame, 12);
            return std::make_unique<BorrowedView>(view);
        };
        return std::make_unique<CPloverCtrl>(std::make_shared<CPloverDriver>(), std::move(views));
    }

    PrivateLog log;
    SnppTestServer server;
};

TEST_F(PloverDriverTest, ASendShowsConnectingThenConnectedThenStops)
{
    ScriptedView view;
    auto ctrl = control(view);
    ASSERT_EQ(ctrl->addMessage("5551234", "a"), 0);
    ASSERT_EQ(ctrl->addMessage("5551235", "b"), 0);
    EXPECT_EQ(ctrl->send(server.address()), 0);
    const ScriptedView::Record record = view.record();
    EXPECT_EQ(record.animations,
              (std::vector<RightAnimation> {RightAnimation::Stopped, RightAnimation::Connecting,
                                            RightAnimation::Connected, RightAnimation::Stopped}));
    EXPECT_EQ(record.phases, (std::vector<int> {0, 1, 2, 3, 4}));
    EXPECT_EQ(record.progress.back(), 4);
    EXPECT_EQ(record.endResult, 1);
    EXPECT_EQ(record.statuses.back(), "Disconnecting");
}

TEST_F(PloverDriverTest, AConnectFailureStaysReadableWithCancelDisabled)
{
    setNumber("statusPauseMs", 300);
    const FreePort nothingListens;
    ScriptedView view;
    auto ctrl = control(view);
    ASSERT_EQ(ctrl->addMessage("5551234", "a"), 0);
    const auto start = Clock::now();
    EXPECT_EQ(ctrl->send("127.0.0.1:" + nothingListens.text()), 222);
    EXPECT_GE(Clock::now() - start, 300ms);
    const ScriptedView::Record record = view.record();
    EXPECT_EQ(record.statuses.back(), "Connection refused");
    ASSERT_FALSE(record.cancelEnabled.empty());
    EXPECT_FALSE(record.cancelEnabled.back());
    EXPECT_EQ(ctrl->getMessageResultCode(0), 5);
}

TEST_F(PloverDriverTest, CancelOnTheViewEndsTheSendWith213)
{
    setNumber("replyTimeoutMs", 60000);
    server.silenceOn("SEND");
    ScriptedView view;
    auto ctrl = control(view);
    ASSERT_EQ(ctrl->addMessage("5551234", "a"), 0);
    std::thread user([&] {
        ASSERT_TRUE(view.waitUntilRunning());
        // Pressed once the server holds its answer to SEND.
        for (int i = 0; i < 1000 && server.lines().size() < 3; ++i) {
            std::this_thread::sleep_for(10ms);
        }
        view.pressCancel();
    });
    const auto start = Clock::now();
    EXPECT_EQ(ctrl->send(server.address()), 213);
    user.join();
    EXPECT_LT(Clock::now() - start, 30s);
    EXPECT_EQ(ctrl->getMessageResultCode(0), 5);
    const ScriptedView::Record record = view.record();
    // Cancel leaves the status alone: the send's code is what the engine made of it.
    EXPECT_NE(record.statuses.back(), "Aborting...");
    EXPECT_EQ(record.endResult, 1);
    EXPECT_EQ(log.levelOf("Dialog IDCANCEL received", "plover"), 9);
}

TEST_F(PloverDriverTest, AViewThatCannotShowLeavesTheFramesWaitToStopTheEngine)
{
    // Nothing ends the exchange but the frame: the server never answers SEND, the reply wait
    // is long, and the frame waits only 100 ms for the protocol thread.
    setNumber("replyTimeoutMs", 60000);
    setNumber("threadWaitMs", 100);
    server.silenceOn("SEND");
    ScriptedView view(ScriptedView::Show::Fail);
    auto ctrl = control(view);
    ASSERT_EQ(ctrl->addMessage("5551234", "a"), 0);
    const auto start = Clock::now();
    EXPECT_EQ(ctrl->send(server.address()), 213);
    EXPECT_LT(Clock::now() - start, 30s);
    EXPECT_TRUE(server.waitForFinished(1, 5000));
    // Asked to stop, the engine says goodbye.
    EXPECT_EQ(server.lines(),
              (std::vector<std::string> {"PAGER 5551234", "MESSAGE a", "SEND", "QUIT"}));
    EXPECT_EQ(ctrl->getMessageResultCode(0), 5);
    EXPECT_EQ(log.levelOf("Protocol thread still runs after 100 ms; interrupting it", "plover"), 2);
    EXPECT_EQ(log.levelOf("Send failed - aborted", "plover"), 8);
}

TEST_F(PloverDriverTest, AControlWithoutDriverAnswersOne)
{
    CPloverCtrl ctrl(nullptr, nullptr);
    EXPECT_EQ(ctrl.addMessage("1", "a"), 1);
    EXPECT_EQ(ctrl.send(server.address()), 1);
    EXPECT_EQ(ctrl.getMessageCount(), 1);
    EXPECT_EQ(ctrl.getMessageResultCode(0), 1);
    EXPECT_EQ(server.connections(), 0);
}

} // namespace
