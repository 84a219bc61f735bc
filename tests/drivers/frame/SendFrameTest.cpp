#include "frame/SendFrame.h"

#include "PrivateLog.h"
#include "ScriptedDriver.h"
#include "ScriptedView.h"
#include "frame/FrameText.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace {

class SendFrameTest : public ::testing::Test
{
protected:
    SendFrameTest()
    {
        (void)messages.add("1234", "first");
        (void)messages.add("5678", "second");
        request.providerName = "Acme Paging";
        request.address = "5551234";
        request.timings.callWait = 10s;
        request.timings.updateWait = 2s;
        request.timings.threadWait = 10s;
        request.timings.statusPause = 0ms;
    }

    // Sends through `view` (kept by the test) with the given frame configuration.
    int sendWith(ScriptedView& view, const FrameConfig& config = FrameConfig {})
    {
        SendFrame frame(config, driver);
        request.viewFactory = [&view](const ProgressViewSetup& setup, SendReporter&) {
            lastSetup = setup;
            return std::make_unique<BorrowedView>(view);
        };
        return frame.send(request, messages);
    }

    PrivateLog log;
    ScriptedDriver driver;
    MessageList messages;
    SendRequest request;
    static inline ProgressViewSetup lastSetup;
};

TEST_F(SendFrameTest, ExchangeThatRunsToItsEndReturnsZeroAndCopiesTheResults)
{
    driver.body = [](SendFrame& frame) {
        frame.setPhase(1);
        frame.setStatus("Dialing " + frame.address());
        ScriptedEngine engine(2, [&frame](int step) {
            frame.messages().setResult(step,
                                       step == 0 ? MessageResult::Sent : MessageResult::Rejected);
            frame.setProgress(2 * (step + 1));
        });
        frame.runEngine(engine);
    };
    int owner = 0;
    request.parentWindow = &owner;
    ScriptedView view;
    EXPECT_EQ(sendWith(view), 0);

    EXPECT_EQ(lastSetup.parentWindow, &owner);
    EXPECT_EQ(messages.result(0), MessageResult::Sent);
    EXPECT_EQ(messages.result(1), MessageResult::Rejected);
    const ScriptedView::Record record = view.record();
    EXPECT_EQ(record.endResult, 1);
    EXPECT_EQ(record.statuses.back(), "Dialing 5551234");
    EXPECT_EQ(record.progress.back(), 4);
    EXPECT_EQ(lastSetup.caption, "IXO/TAP Paging (Acme Paging)");
    EXPECT_EQ(lastSetup.progressMaximum, 4);
    EXPECT_EQ(lastSetup.initialStatus, "Initializing...");
}

TEST_F(SendFrameTest, EveryLineOfTheSendHasItsLevelAndOrder)
{
    // The status waits for the view, so the view comes up before the protocol ends.
    driver.body = [](SendFrame& frame) { frame.setStatus("up"); };
    ScriptedView view;
    ASSERT_EQ(sendWith(view), 0);

    const struct
    {
        const char* text;
        int level;
    } lines[] = {
        {"Send Start (instance=0)", 4},
        {"Start protocol thread", 8},
        {"Show Modal dialog", 9},
        {"Modal dialog returns 1", 9},
        {"Waiting for terminate thread", 10},
        {"Send okay", 8},
    };
    int previous = -1;
    for (const auto& line : lines) {
        SCOPED_TRACE(line.text);
        EXPECT_EQ(log.levelOf(line.text), line.level);
        const int index = log.indexOf(line.text);
        EXPECT_GT(index, previous);
        previous = index;
    }
    // The protocol thread's and the view's lines interleave with the send's.
    EXPECT_EQ(log.levelOf("Local Thread starts"), 9);
    EXPECT_EQ(log.levelOf("Thread ends"), 9);
    EXPECT_LT(log.indexOf("Thread ends"), log.indexOf("Send okay"));
    EXPECT_EQ(log.levelOf("Progress dialog init"), 10);
    EXPECT_EQ(log.levelOf("Provider name=IXO/TAP Paging (Acme Paging)"), 10);
}

TEST_F(SendFrameTest, RecordedErrorFailsTheSend)
{
    driver.body = [](SendFrame& frame) { frame.setLastError(206); };
    ScriptedView view;
    EXPECT_EQ(sendWith(view), 206);
    EXPECT_EQ(log.levelOf("Send failed - Last Error bad (err=206)"), 8);
}

TEST_F(SendFrameTest, CaptionWithoutProviderAndEmptyClientName)
{
    request.providerName.clear();
    std::string client;
    driver.body = [&client](SendFrame& frame) {
        client = frame.clientName();
        frame.setStatus("up");
    };
    ScriptedView view;
    ASSERT_EQ(sendWith(view), 0);
    EXPECT_EQ(lastSetup.caption, "IXO/TAP Paging");
    EXPECT_EQ(client, "unknownClient");
    EXPECT_EQ(log.levelOf("Provider name=IXO/TAP Paging"), 10);
}

TEST_F(SendFrameTest, PhasesRepeatedOrBeyondFourAreIgnored)
{
    driver.body = [](SendFrame& frame) {
        for (int phase : {1, 1, 5, -1, 2, 3, 3, 4}) {
            frame.setPhase(phase);
        }
    };
    ScriptedView view;
    ASSERT_EQ(sendWith(view), 0);
    // The first phase is the one the view is given when it comes up.
    EXPECT_EQ(view.record().phases, (std::vector<int> {0, 1, 2, 3, 4}));
}

TEST_F(SendFrameTest, CancelWhileWaitingForTheCallAbortsWith213AndKeepsItFinal)
{
    Latch waiting;
    int errorAfterCancel = -1;
    driver.body = [&](SendFrame& frame) {
        frame.setStatus("Dialing " + frame.address());
        waiting.open();
        EXPECT_TRUE(frame.waitForCallEvent());
        // What a dropped call or the failing port report afterwards changes nothing.
        frame.setLastError(7);
        frame.setLastError(0);
        errorAfterCancel = frame.lastError();
        frame.setCancelEnabled(false);
        frame.setStatus(frame.cancelRequested() ? frame.providerName() : "not cancelled");
    };
    ScriptedView view;
    std::thread user([&] {
        ASSERT_TRUE(waiting.wait());
        ASSERT_TRUE(view.waitUntilRunning());
        view.pressCancel();
        view.pressCancel(); // a second press does nothing more
    });
    const int code = sendWith(view);
    user.join();

    EXPECT_EQ(code, 213);
    EXPECT_EQ(errorAfterCancel, 213);
    EXPECT_EQ(driver.cancels.load(), 1);
    EXPECT_EQ(messages.result(0), MessageResult::NotProcessed);
    EXPECT_EQ(messages.result(1), MessageResult::NotProcessed);
    const ScriptedView::Record record = view.record();
    EXPECT_NE(std::find(record.statuses.begin(), record.statuses.end(), "Aborting..."),
              record.statuses.end());
    EXPECT_EQ(record.statuses.back(), "Acme Paging");
    EXPECT_FALSE(record.cancelEnabled.back());
    EXPECT_EQ(record.endResult, 1);
    EXPECT_EQ(log.levelOf("User clicked cancel button"), 9);
    EXPECT_EQ(log.levelOf("Send failed - Last Error bad (err=213)"), 8);
}

TEST_F(SendFrameTest, CancelStopsARunningEngine)
{
    Latch started;
    driver.body = [&](SendFrame& frame) {
        ScriptedEngine engine(20000, [&](int step) {
            if (step == 0) {
                started.open();
            }
            std::this_thread::sleep_for(1ms);
        });
        frame.runEngine(engine);
        EXPECT_TRUE(engine.stopRequested());
        EXPECT_LT(engine.stepsDone(), 20000);
    };
    ScriptedView view;
    std::thread user([&] {
        ASSERT_TRUE(started.wait());
        ASSERT_TRUE(view.waitUntilRunning());
        view.pressCancel();
    });
    EXPECT_EQ(sendWith(view), 213);
    user.join();
}

TEST_F(SendFrameTest, StopRequestedBeforeTheEngineStartsIsKept)
{
    driver.body = [](SendFrame& frame) {
        ASSERT_TRUE(frame.waitForCallEvent());
        ScriptedEngine engine(5);
        frame.runEngine(engine);
        EXPECT_EQ(engine.starts, 1);
        EXPECT_EQ(engine.stepsDone(), 0);
    };
    ScriptedView view;
    std::thread user([&] {
        ASSERT_TRUE(view.waitUntilRunning());
        view.pressCancel();
    });
    EXPECT_EQ(sendWith(view), 213);
    user.join();
}

TEST_F(SendFrameTest, CancelWithoutAbortLeavesTheCodeToTheProtocol)
{
    // The SNPP driver's rule: Cancel only asks the engine to stop.
    FrameConfig config;
    config.tag = "plover";
    config.cancelAborts = false;
    config.cancelled = {9, "Dialog IDCANCEL received"};
    driver.body = [](SendFrame& frame) {
        ASSERT_TRUE(frame.waitForCallEvent());
        frame.setStatus(frame.cancelRequested() ? "stopping" : "running");
        frame.setLastError(0);
    };
    ScriptedView view;
    std::thread user([&] {
        ASSERT_TRUE(view.waitUntilRunning());
        view.pressCancel();
    });
    EXPECT_EQ(sendWith(view, config), 0);
    user.join();
    const ScriptedView::Record record = view.record();
    EXPECT_EQ(std::find(record.statuses.begin(), record.statuses.end(), "Aborting..."),
              record.statuses.end());
    EXPECT_EQ(record.statuses.back(), "stopping");
    EXPECT_EQ(log.levelOf("Dialog IDCANCEL received", "plover"), 9);
}

TEST_F(SendFrameTest, ViewThatCannotBeShownLetsTheSendFinishAsAborted)
{
    ScriptedEngine* seen = nullptr;
    driver.body = [&](SendFrame& frame) {
        frame.setStatus("nobody sees this");
        ScriptedEngine engine(20000, [](int) { std::this_thread::sleep_for(1ms); });
        seen = &engine;
        frame.runEngine(engine);
        EXPECT_TRUE(engine.stopRequested());
    };
    ScriptedView view(ScriptedView::Show::Fail);
    EXPECT_EQ(sendWith(view), 213);
    EXPECT_NE(seen, nullptr);
    EXPECT_TRUE(view.record().statuses.empty());
    EXPECT_EQ(driver.viewEnds.load(), 1);
    EXPECT_EQ(log.levelOf("Modal dialog returns -1"), 9);
    EXPECT_EQ(log.levelOf("Send failed - aborted"), 8);
}

TEST_F(SendFrameTest, EngineRunsOnAfterTheViewWhenTheDriverSaysSo)
{
    FrameConfig config;
    config.stopEngineWhenViewEnds = false;
    int steps = 0;
    driver.body = [&](SendFrame& frame) {
        ScriptedEngine engine(20, [](int) { std::this_thread::sleep_for(1ms); });
        frame.runEngine(engine);
        steps = engine.stepsDone();
    };
    ScriptedView view(ScriptedView::Show::Fail);
    EXPECT_EQ(sendWith(view, config), 213);
    EXPECT_EQ(steps, 20);
}

TEST_F(SendFrameTest, UpdatesWaitForAViewThatComesUpLate)
{
    driver.body = [](SendFrame& frame) { frame.setStatus("after the view came up"); };
    ScriptedView view(ScriptedView::Show::Late, true, 300ms);
    ASSERT_EQ(sendWith(view), 0);
    const ScriptedView::Record record = view.record();
    ASSERT_FALSE(record.statuses.empty());
    EXPECT_EQ(record.statuses.back(), "after the view came up");
}

TEST_F(SendFrameTest, UpdatesGiveUpOnAViewThatNeverComesUp)
{
    // Each update waits at most the update wait; the thread still ends the view.
    request.timings.updateWait = 50ms;
    driver.body = [](SendFrame& frame) {
        frame.setPhase(1);
        frame.setStatus("lost");
        frame.setProgress(1);
    };
    ScriptedView view(ScriptedView::Show::Never);
    ASSERT_EQ(sendWith(view), 0);
    const ScriptedView::Record record = view.record();
    EXPECT_TRUE(record.statuses.empty());
    EXPECT_TRUE(record.phases.empty());
    EXPECT_EQ(record.endResult, 1);
}

TEST_F(SendFrameTest, ProtocolThatEndsBeforeTheViewComesUpStillEndsIt)
{
    ScriptedView view(ScriptedView::Show::Late, true, 200ms);
    EXPECT_EQ(sendWith(view), 0);
    EXPECT_EQ(view.record().endResult, 1);
    EXPECT_FALSE(view.record().shown);
}

TEST_F(SendFrameTest, ThreadThatOutlivesTheWaitIsInterrupted)
{
    request.timings.threadWait = 100ms;
    Latch interrupted;
    driver.onInterrupt = [&] { interrupted.open(); };
    driver.body = [&](SendFrame&) { EXPECT_TRUE(interrupted.wait()); };
    ScriptedView view(ScriptedView::Show::Fail);
    EXPECT_EQ(sendWith(view), 213);
    EXPECT_EQ(driver.interrupts.load(), 1);
    EXPECT_EQ(log.levelOf("Protocol thread still runs after 100 ms; interrupting it"), 2);
}

TEST_F(SendFrameTest, ThreadThatIgnoresTheInterruptIsLetGoAndBlocksTheNextSend)
{
    request.timings.threadWait = 50ms;
    request.timings.updateWait = 50ms;
    Latch release;
    Latch gone;
    int token = 0;
    request.keepAlive = std::shared_ptr<void>(&token, [&gone](void*) { gone.open(); });
    driver.body = [&](SendFrame& frame) {
        EXPECT_TRUE(release.wait());
        frame.messages().setResult(0, MessageResult::Sent);
    };
    SendFrame frame(FrameConfig {}, driver);
    ScriptedView first(ScriptedView::Show::Fail);
    request.viewFactory = [&first](const ProgressViewSetup&, SendReporter&) {
        return std::make_unique<BorrowedView>(first);
    };
    EXPECT_EQ(frame.send(request, messages), 213);
    // What the let-go thread settles later is not taken into the list.
    EXPECT_EQ(messages.result(0), MessageResult::NotProcessed);
    EXPECT_EQ(log.levelOf("Protocol thread does not end; it is left to end on its own"), 1);

    request.keepAlive.reset();
    ScriptedView second;
    request.viewFactory = [&second](const ProgressViewSetup&, SendReporter&) {
        return std::make_unique<BorrowedView>(second);
    };
    EXPECT_EQ(frame.send(request, messages), 216);
    EXPECT_GE(log.levelOf("Send refused: the protocol thread of an earlier send still runs"), 0);

    release.open();
    ASSERT_TRUE(gone.wait());
    driver.body = [](SendFrame&) {};
    ScriptedView third;
    request.viewFactory = [&third](const ProgressViewSetup&, SendReporter&) {
        return std::make_unique<BorrowedView>(third);
    };
    // The thread has ended (it let go of the keep-alive last): the frame sends again.
    EXPECT_EQ(frame.send(request, messages), 0);
    EXPECT_EQ(third.record().endResult, 1);
    EXPECT_EQ(messages.result(0), MessageResult::NotProcessed);
}

TEST_F(SendFrameTest, CallEventReleasesOneWaitAndTimesOut)
{
    request.timings.callWait = 50ms;
    std::vector<bool> waits;
    driver.body = [&](SendFrame& frame) {
        frame.signalCallEvent();
        waits.push_back(frame.waitForCallEvent());
        waits.push_back(frame.waitForCallEvent());
    };
    ScriptedView view;
    ASSERT_EQ(sendWith(view), 0);
    EXPECT_EQ(waits, (std::vector<bool> {true, false}));
}

TEST_F(SendFrameTest, LastErrorOutsideASendIsNotFinal)
{
    driver.body = [](SendFrame& frame) { ASSERT_TRUE(frame.waitForCallEvent()); };
    SendFrame frame(FrameConfig {}, driver);
    ScriptedView view;
    request.viewFactory = [&view](const ProgressViewSetup&, SendReporter&) {
        return std::make_unique<BorrowedView>(view);
    };
    std::thread user([&] {
        ASSERT_TRUE(view.waitUntilRunning());
        view.pressCancel();
    });
    EXPECT_EQ(frame.send(request, messages), 213);
    user.join();
    frame.setLastError(207);
    EXPECT_EQ(frame.lastError(), 207);
}

TEST_F(SendFrameTest, ExceptionInTheProtocolFailsTheSendInsteadOfTheProcess)
{
    driver.body = [](SendFrame&) { throw std::runtime_error("modem on fire"); };
    ScriptedView view;
    EXPECT_EQ(sendWith(view), 216);
    EXPECT_EQ(log.levelOf("Protocol thread failed: modem on fire"), 1);
}

TEST_F(SendFrameTest, ReadablePauseOnlyForAVisibleView)
{
    // A pause on a view no one sees would hold this send for an hour.
    request.timings.statusPause = std::chrono::hours(1);
    bool up = false;
    driver.body = [&](SendFrame& frame) {
        frame.setStatus("Error: remote not responding");
        up = frame.isViewUp();
        frame.pauseForReading();
    };
    ScriptedView hidden(ScriptedView::Show::AtOnce, false);
    ASSERT_EQ(sendWith(hidden), 0);
    EXPECT_TRUE(up);
    EXPECT_EQ(hidden.record().statuses.back(), "Error: remote not responding");
}

TEST_F(SendFrameTest, CancelCutsTheReadablePauseShort)
{
    request.timings.statusPause = std::chrono::hours(1);
    driver.body = [](SendFrame& frame) {
        frame.setStatus("Remote modem busy");
        frame.pauseForReading();
    };
    ScriptedView visible;
    std::thread user([&] {
        ASSERT_TRUE(visible.waitUntilRunning());
        visible.pressCancel();
    });
    EXPECT_EQ(sendWith(visible), 213);
    user.join();
}

TEST(FrameTextTest, FillsPlaceholdersInOrder)
{
    const struct
    {
        std::string pattern;
        std::vector<std::string> values;
        std::string expected;
    } cases[] = {
        {"Trying dev %d [devNo=%d]", {"1", "4294967295"}, "Trying dev 1 [devNo=4294967295]"},
        {"Dialing %s", {"555"}, "Dialing 555"},
        {"no placeholders", {"x"}, "no placeholders"},
        {"%d and %s", {"1"}, "1 and %s"},
        {"100%", {"1"}, "100%"},
        {"%x stays, %s fills", {"it"}, "%x stays, it fills"},
        {"value %s", {"%d"}, "value %d"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        std::string result;
        if (c.values.size() == 1) {
            result = FrameText::fill(c.pattern, {c.values[0]});
        } else {
            result = FrameText::fill(c.pattern, {c.values[0], c.values[1]});
        }
        EXPECT_EQ(result, c.expected);
    }
    EXPECT_EQ(FrameText::fill("err=%d", -5), "err=-5");
    EXPECT_EQ(FrameText::fill("%d of %d", 3, 4), "3 of 4");
}

} // namespace
