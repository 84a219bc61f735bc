// The kestrel control driven by dispatch number over scripted lines and a scripted engine:
// the message list, the overall codes, dialling through the modem device list, the call's
// events, Cancel from the host.
#include "KestrelTestSettings.h"
#include "PrivateLog.h"
#include "ScriptedLines.h"
#include "ScriptedTap.h"
#include "kestrel/CKestrelCtrl.h"
#include "kestrel/CKestrelDriver.h"
#include "kestrel/KestrelIds.h"
#include "kestrel/KestrelSettings.h"
#include "settings/SettingsKey.h"
#include "telephony/Telephony.h"

#include <gtest/gtest.h>

using namespace KestrelIds;

namespace {

class KestrelControlTest : public ::testing::Test
{
protected:
    KestrelControlTest() { EXPECT_TRUE(KestrelTestSettings::shortFrameWaits()); }

    void make()
    {
        auto engines = [this](ByteLink& link, MessageList& messages, SendReporter& reporter,
                              const TapSettings& settings) -> std::unique_ptr<StepEngine> {
            return std::make_unique<ScriptedTap>(link, messages, reporter, settings, taps,
                                                 waitForAnswer);
        };
        auto driver = std::make_shared<CKestrelDriver>(
            std::make_unique<ScriptedLineSource>(plans, fallback, lines), engines);
        ctrl = std::make_unique<CKestrelCtrl>(
            driver, ProgressViews::headless([this] { return hostCancel.load(); }));
    }

    DispatchStatus call(std::int32_t dispId, CallKind kind, std::vector<DispatchValue> args,
                        DispatchValue& result)
    {
        std::string error;
        return ctrl->invoke(dispId, kind, args, result, error);
    }
    std::int32_t callInt(std::int32_t dispId, std::vector<DispatchValue> args = {})
    {
        DispatchValue result;
        EXPECT_EQ(call(dispId, CallKind::Method, std::move(args), result), DispatchStatus::Ok);
        return std::holds_alternative<std::int32_t>(result) ? std::get<std::int32_t>(result) : -999;
    }
    std::int32_t send(const std::string& number = "5551234") { return callInt(Send, {number}); }
    std::int32_t add(const std::string& recipient, const std::string& text)
    {
        return callInt(AddMessage, {recipient, text});
    }
    std::int32_t resultCode(std::int16_t index) { return callInt(GetMessageResultCode, {index}); }
    void setModemList(const std::vector<std::uint32_t>& devices, std::uint32_t count)
    {
        ASSERT_TRUE(KestrelTestSettings::key().setBinary(
            "modemList", KestrelTestSettings::modemListBytes(count, devices)));
    }
    // Waits until the engine has logged in (its status is in the log).
    bool eventuallyLoggedIn()
    {
        for (int i = 0; i < 2000; ++i) {
            if (log.indexOf("Status: Logging...") >= 0) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    std::vector<std::uint32_t> opened()
    {
        const std::lock_guard<std::mutex> guard(lines.mutex);
        return lines.opened;
    }

    PrivateLog log;
    LineRecord lines;
    TapRecord taps;
    std::map<std::uint32_t, LinePlan> plans;
    LinePlan fallback;
    bool waitForAnswer = false;
    std::atomic<bool> hostCancel {false};
    std::unique_ptr<CKestrelCtrl> ctrl;
};

TEST_F(KestrelControlTest, PropertiesStartWithTheirInitialValues)
{
    make();
    DispatchValue value;
    ASSERT_EQ(call(DebugLevel, CallKind::PropertyGet, {}, value), DispatchStatus::Ok);
    EXPECT_EQ(std::get<std::int32_t>(value), 0);
    const std::pair<std::int32_t, const char*> texts[]
        = {{ProviderName, ""}, {ClientName, "kestrel"}, {LogFileName, ""}};
    for (const auto& [dispId, initial] : texts) {
        ASSERT_EQ(call(dispId, CallKind::PropertyGet, {}, value), DispatchStatus::Ok);
        EXPECT_EQ(std::get<std::string>(value), initial);
        ASSERT_EQ(call(dispId, CallKind::PropertyPut, {std::string("changed")}, value),
                  DispatchStatus::Ok);
        ASSERT_EQ(call(dispId, CallKind::PropertyGet, {}, value), DispatchStatus::Ok);
        EXPECT_EQ(std::get<std::string>(value), "changed");
    }
    ASSERT_EQ(call(DebugLevel, CallKind::PropertyPut, {std::int32_t(7)}, value),
              DispatchStatus::Ok);
    ASSERT_EQ(call(DebugLevel, CallKind::PropertyGet, {}, value), DispatchStatus::Ok);
    EXPECT_EQ(std::get<std::int32_t>(value), 7);
}

TEST_F(KestrelControlTest, TwentyFirstMessageIsRefusedAndTheFirstTwentyStay)
{
    make();
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(add(std::to_string(100 + i), "text " + std::to_string(i)), 0);
    }
    EXPECT_EQ(add("999", "one too many"), 207);
    EXPECT_EQ(callInt(GetMessageCount), 20);
    ASSERT_EQ(send(), 0);
    ASSERT_EQ(taps.sent.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(taps.sent[static_cast<std::size_t>(i)].first, 100 + i);
        EXPECT_EQ(taps.sent[static_cast<std::size_t>(i)].second, "text " + std::to_string(i));
        EXPECT_EQ(resultCode(static_cast<std::int16_t>(i)), 1);
    }
}

TEST_F(KestrelControlTest, ResultCodeOutsideTheListIsTwo)
{
    make();
    ASSERT_EQ(add("1", "a"), 0);
    ASSERT_EQ(add("2", "b"), 0);
    EXPECT_EQ(resultCode(0), 5);
    EXPECT_EQ(resultCode(-1), 2);
    EXPECT_EQ(resultCode(2), 2);
    // A 32-bit index that fits is narrowed; one that does not is refused by the interface.
    EXPECT_EQ(callInt(GetMessageResultCode, {std::int32_t(1)}), 5);
    DispatchValue value;
    EXPECT_EQ(call(GetMessageResultCode, CallKind::Method, {std::int32_t(70000)}, value),
              DispatchStatus::OutOfRange);
    ASSERT_EQ(callInt(Clear), -999); // clear returns nothing
    EXPECT_EQ(callInt(GetMessageCount), 0);
    EXPECT_EQ(resultCode(0), 2);
}

TEST_F(KestrelControlTest, RecipientWithoutLeadingDigitsIsPagerZero)
{
    make();
    ASSERT_EQ(add("abc", "x"), 0);
    ASSERT_EQ(add(" -5", "y"), 0);
    ASSERT_EQ(add("12ab", "z"), 0);
    ASSERT_EQ(send(), 0);
    ASSERT_EQ(taps.sent.size(), 3u);
    EXPECT_EQ(taps.sent[0].first, 0);
    EXPECT_EQ(taps.sent[1].first, -5);
    EXPECT_EQ(taps.sent[2].first, 12);
}

TEST_F(KestrelControlTest, EmptyModemListRefusesWithoutDialling)
{
    setModemList({}, 0);
    make();
    ASSERT_EQ(add("1", "a"), 0);
    EXPECT_EQ(send(), 215);
    EXPECT_TRUE(opened().empty());
    EXPECT_EQ(log.levelOf("Send Start (instance=0)"), -1);
    EXPECT_EQ(log.levelOf("Send refused: the modem device list (modemList) is empty"), 2);
    EXPECT_EQ(resultCode(0), 5);
}

TEST_F(KestrelControlTest, SuccessfulSendDialsTheTranslatedNumberAndRunsTheEngine)
{
    make();
    ASSERT_EQ(add("1234", "HI"), 0);
    ASSERT_EQ(send("5551234"), 0);
    EXPECT_EQ(resultCode(0), 1);
    EXPECT_EQ(opened(), (std::vector<std::uint32_t> {Telephony::lineMapper}));
    {
        const std::lock_guard<std::mutex> guard(lines.mutex);
        EXPECT_EQ(lines.dialled, (std::vector<std::string> {"9 5551234"}));
        EXPECT_EQ(lines.configures, 1);
        EXPECT_EQ(lines.restores, 1);
        EXPECT_EQ(lines.hangUps, 1);
    }
    const char* order[] = {"Send Start (instance=0)",
                           "Local Thread starts",
                           "Status: Dialing 5551234",
                           "Thread starts dialing",
                           "Thread dial successful",
                           "Thread starts FSM",
                           "Thread FSM retuens",
                           "Thread ends",
                           "Send okay"};
    int previous = -1;
    for (const char* line : order) {
        SCOPED_TRACE(line);
        const int index = log.indexOf(line);
        EXPECT_GT(index, previous);
        previous = index;
    }
    // The line reports the connection from its own thread, so only its bounds are fixed.
    EXPECT_GT(log.indexOf("LINECALLSTATE Connected"), log.indexOf("Thread starts dialing"));
    EXPECT_LT(log.indexOf("LINECALLSTATE Connected"), log.indexOf("Thread starts FSM"));
    EXPECT_EQ(log.levelOf("Thread starts dialing"), 9);
    EXPECT_EQ(log.levelOf("Thread dial successful"), 9);
    EXPECT_EQ(log.levelOf("LINECALLSTATE Connected"), 10);
    EXPECT_EQ(log.levelOf("Thread starts FSM"), 9);
    EXPECT_EQ(log.levelOf("Thread FSM retuens"), 9);
    EXPECT_EQ(log.levelOf("Progress: 2 of 2"), 10);
}

TEST_F(KestrelControlTest, SettingsAreLoadedAtEachSend)
{
    make();
    ASSERT_EQ(send(), 0);
    {
        SettingsKey key(RootKey::CurrentUser, KestrelSettings::key);
        ASSERT_TRUE(key.setNumber("maxSendPacket", 1));
        ASSERT_TRUE(key.setNumber("maxReadTimeout", 2));
        ASSERT_TRUE(key.setNumber("maxPromptTimeout", 4));
        ASSERT_TRUE(key.setNumber("transChars", 0));
        ASSERT_TRUE(key.setNumber("goAheadDelayMs", 10));
    }
    ASSERT_EQ(send(), 0);
    ASSERT_EQ(taps.settings.size(), 2u);
    const TapSettings& first = taps.settings[0];
    EXPECT_EQ(first.maxSendPacket, 3);
    EXPECT_EQ(first.readTimeoutSeconds, 6);
    EXPECT_EQ(first.promptTimeoutSeconds, 3);
    EXPECT_TRUE(first.transChars);
    EXPECT_EQ(first.goAheadDelayMs, 1000);
    const TapSettings& second = taps.settings[1];
    EXPECT_EQ(second.maxSendPacket, 1);
    EXPECT_EQ(second.readTimeoutSeconds, 2);
    EXPECT_EQ(second.promptTimeoutSeconds, 4);
    EXPECT_FALSE(second.transChars);
    EXPECT_EQ(second.goAheadDelayMs, 10);
}

TEST_F(KestrelControlTest, DeviceWithoutALineIsSkippedForTheNext)
{
    setModemList({3, 1}, 2);
    plans[3].opens = false;
    make();
    ASSERT_EQ(send(), 0);
    EXPECT_EQ(opened(), (std::vector<std::uint32_t> {3, 1}));
    EXPECT_EQ(log.levelOf("Thread dial failed"), 2);
    EXPECT_EQ(log.levelOf("Trying dev 1 [devNo=1]"), 10);
}

TEST_F(KestrelControlTest, NoLineOnAnyDeviceGivesSevenAndNoFreeLines)
{
    setModemList({0, 1, 2}, 3);
    fallback.opens = false;
    make();
    ASSERT_EQ(add("1", "a"), 0);
    EXPECT_EQ(send(), 7);
    EXPECT_EQ(opened(), (std::vector<std::uint32_t> {0, 1, 2}));
    EXPECT_EQ(log.levelOf("Trying dev 2 [devNo=2]"), 10);
    EXPECT_EQ(log.levelOf("Status: No free lines"), 9);
    EXPECT_EQ(log.levelOf("Send failed - Last Error bad (err=7)"), 8);
    EXPECT_EQ(resultCode(0), 5);
}

TEST_F(KestrelControlTest, OnlyTheFirstTwentyDevicesAreTried)
{
    std::vector<std::uint32_t> devices;
    for (std::uint32_t i = 0; i < 25; ++i) {
        devices.push_back(i);
    }
    setModemList(devices, 25);
    fallback.opens = false;
    make();
    EXPECT_EQ(send(), 7);
    EXPECT_EQ(opened().size(), 20u);
}

TEST_F(KestrelControlTest, RefusedCallRequestEndsDialling)
{
    setModemList({0, 1}, 2);
    plans[0].accepted = false;
    make();
    EXPECT_EQ(send(), 4);
    EXPECT_EQ(opened(), (std::vector<std::uint32_t> {0}));
    EXPECT_EQ(log.levelOf("LocalThread dial failed code=4"), 2);
}

TEST_F(KestrelControlTest, CallEventsGiveTheirStatusAndCode)
{
    const struct
    {
        CallEvent event;
        int detail;
        int code;
        const char* status;
        const char* line;
        int level;
    } cases[] = {
        {CallEvent::Busy, 0, 206, "Remote modem busy", "LINECALLSTATE Busy", 10},
        {CallEvent::LineInUse, 0, 214, "Line is being used", "LINEERR Being used", 10},
        {CallEvent::CallUnavailable, 0, 215, "Call unavailable", "LINERR Call unavailable", 2},
        {CallEvent::OtherError, -9, 216, "Internal Error (LINERR=-9)", "LINERR Unknown -9", 2},
        {CallEvent::Disconnected, 0, 222, "Line disconnected", "LINECALLSTATE Disconnected", 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        fallback.events = {{c.event, c.detail}};
        make();
        ASSERT_EQ(add("1", "a"), 0);
        EXPECT_EQ(send(), c.code);
        EXPECT_EQ(resultCode(0), 5);
        EXPECT_EQ(log.levelOf(std::string("Status: ") + c.status), 9);
        EXPECT_EQ(log.levelOf(c.line), c.level);
    }
    EXPECT_EQ(taps.engines, 0);
}

TEST_F(KestrelControlTest, CallWithoutOutcomeGivesNoConnection)
{
    {
        SettingsKey key(RootKey::CurrentUser, KestrelSettings::key);
        ASSERT_TRUE(key.setNumber("callWaitMs", 100));
    }
    fallback.events.clear();
    make();
    EXPECT_EQ(send(), 222);
    const std::lock_guard<std::mutex> guard(lines.mutex);
    EXPECT_EQ(lines.hangUps, 1);
}

TEST_F(KestrelControlTest, CancelWhileDiallingAbortsWith213)
{
    fallback.events.clear(); // the call never gets through
    lines.onDial = [this] { hostCancel = true; };
    make();
    ASSERT_EQ(add("1", "a"), 0);
    ASSERT_EQ(add("2", "b"), 0);
    EXPECT_EQ(send(), 213);
    EXPECT_EQ(resultCode(0), 5);
    EXPECT_EQ(resultCode(1), 5);
    EXPECT_EQ(taps.engines, 0);
    EXPECT_EQ(log.levelOf("User clicked cancel button"), 9);
    const std::vector<LogEntry> entries = log.entries();
    std::string lastStatus;
    for (const LogEntry& entry : entries) {
        if (entry.message.starts_with("Status: ")) {
            lastStatus = entry.message;
        }
    }
    EXPECT_EQ(lastStatus, "Status: Aborting...");
    const std::lock_guard<std::mutex> guard(lines.mutex);
    EXPECT_GE(lines.hangUps, 1);
}

TEST_F(KestrelControlTest, CancelDuringTheExchangeHangsUpAndStopsTheEngine)
{
    waitForAnswer = true; // the engine waits for an answer that never comes
    lines.onDial = [] {};
    make();
    ASSERT_EQ(add("1", "a"), 0);
    std::thread host([this] {
        // Cancel once the engine has logged in and waits.
        ASSERT_TRUE(eventuallyLoggedIn());
        hostCancel = true;
    });
    EXPECT_EQ(send(), 213);
    host.join();
    EXPECT_EQ(resultCode(0), 5);
    EXPECT_EQ(log.levelOf("Status: Disconnecting"), 9);
}

TEST_F(KestrelControlTest, ControlWithoutDriverAnswersOne)
{
    ctrl = std::make_unique<CKestrelCtrl>(nullptr, nullptr);
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(add("1", "a"), 1);
    EXPECT_EQ(callInt(GetMessageCount), 1);
    EXPECT_EQ(resultCode(0), 1);
    DispatchValue value;
    EXPECT_EQ(call(Clear, CallKind::Method, {}, value), DispatchStatus::Ok);
}

TEST_F(KestrelControlTest, DialogsLogALineWithoutAGui)
{
    make();
    DispatchValue value;
    EXPECT_EQ(call(ShowProperties, CallKind::Method, {}, value), DispatchStatus::Ok);
    EXPECT_EQ(call(AboutBox, CallKind::Method, {}, value), DispatchStatus::Ok);
    EXPECT_EQ(log.levelOf("Settings dialog not shown: no dialogs in this process"), 5);
    EXPECT_EQ(log.levelOf("Kestrel Control, Version 1.0"), 5);
}

TEST_F(KestrelControlTest, UnknownMemberAndWrongArgumentsAreRefused)
{
    make();
    DispatchValue value;
    EXPECT_EQ(call(11, CallKind::Method, {}, value), DispatchStatus::UnknownDispId);
    EXPECT_EQ(call(Send, CallKind::Method, {}, value), DispatchStatus::BadArgCount);
    EXPECT_EQ(call(AddMessage, CallKind::Method, {std::int32_t(1), std::string("a")}, value),
              DispatchStatus::BadArgType);
    EXPECT_EQ(call(Send, CallKind::PropertyGet, {}, value), DispatchStatus::WrongCallKind);
}

} // namespace
