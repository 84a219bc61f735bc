// The kestrel control with the real IXO/TAP engine over a socket pair to the simulated
// paging terminal: the whole send frame, the engine's lines in the log, Cancel mid-exchange.
#include "KestrelTestSettings.h"
#include "PrivateLog.h"
#include "SocketLines.h"
#include "TapTerminalSimulator.h"
#include "kestrel/CKestrelCtrl.h"
#include "kestrel/CKestrelDriver.h"
#include "kestrel/KestrelIds.h"
#include "kestrel/KestrelSettings.h"
#include "kestrel/TapEngine.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace KestrelIds;

namespace {

class KestrelEngineSendTest : public ::testing::Test
{
protected:
    KestrelEngineSendTest() { EXPECT_TRUE(KestrelTestSettings::shortTerminalWaits()); }

    // Sends the messages through a control whose host cancels when `cancel` says so.
    std::int32_t sendThrough(TapTerminalSimulator& terminal,
                             const std::vector<std::pair<std::string, std::string>>& messages,
                             std::function<bool()> cancel = nullptr)
    {
        auto lines = std::make_unique<SocketLineSource>();
        EXPECT_TRUE(terminal.serve(lines->remoteFd()));
        auto engines = [](ByteLink& link, MessageList& list, SendReporter& reporter,
                          const TapSettings& settings) -> std::unique_ptr<StepEngine> {
            return std::make_unique<TapEngine>(link, list, reporter, settings);
        };
        ctrl = std::make_unique<CKestrelCtrl>(
            std::make_shared<CKestrelDriver>(std::move(lines), engines),
            ProgressViews::headless(std::move(cancel)));
        for (const auto& [recipient, text] : messages) {
            EXPECT_EQ(call(AddMessage, {recipient, text}), 0);
        }
        const std::int32_t code = call(Send, {std::string("5551234")});
        // The terminal takes the last bytes (or the hang-up) on its own thread.
        (void)terminal.waitForEnd(5000);
        terminal.stop();
        return code;
    }

    std::int32_t call(std::int32_t dispId, std::vector<DispatchValue> args)
    {
        DispatchValue result;
        std::string error;
        EXPECT_EQ(ctrl->invoke(dispId, CallKind::Method, args, result, error), DispatchStatus::Ok)
            << error;
        return std::holds_alternative<std::int32_t>(result) ? std::get<std::int32_t>(result) : -1;
    }
    std::int32_t resultCode(int index)
    {
        return call(GetMessageResultCode, {static_cast<std::int16_t>(index)});
    }

    PrivateLog log;
    std::unique_ptr<CKestrelCtrl> ctrl;
};

TEST_F(KestrelEngineSendTest, EmptyListLogsInAndReturnsZero)
{
    TapTerminalSimulator terminal;
    EXPECT_EQ(sendThrough(terminal, {}), 0);
    EXPECT_EQ(terminal.logins(), 1);
    EXPECT_TRUE(terminal.blocks().empty());
    EXPECT_TRUE(terminal.eotSeen());
    EXPECT_EQ(log.levelOf("STATE Start"), 10);
    EXPECT_EQ(log.levelOf("Status: Disconnecting"), 9);
    EXPECT_EQ(log.levelOf("Send okay"), 8);
}

TEST_F(KestrelEngineSendTest, MessagesGetTheTerminalsAnswers)
{
    TapTerminalScript script;
    script.blockAnswers = {TapBlockAnswer::Ack, TapBlockAnswer::Rs};
    TapTerminalSimulator terminal(script);
    EXPECT_EQ(sendThrough(terminal, {{"1234", "HI"}, {"77", "rejected"}, {"-5", "third"}}), 0);
    EXPECT_EQ(resultCode(0), 1);
    EXPECT_EQ(resultCode(1), 3);
    EXPECT_EQ(resultCode(2), 1);
    const std::vector<TapReceivedBlock> blocks = terminal.blocks();
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0].raw,
              std::string("\x02"
                          "1234\rHI\r\x03"
                          "17:\r"));
    EXPECT_EQ(blocks[2].pagerId, "4294967291");
    EXPECT_EQ(log.levelOf("Progress: 6 of 6"), 10);
}

TEST_F(KestrelEngineSendTest, CancelWhileTheTerminalKeepsSilentAbortsWith213)
{
    {
        SettingsKey key(RootKey::CurrentUser, KestrelSettings::key);
        ASSERT_TRUE(key.setNumber("maxReadTimeout", 60));
    }
    TapTerminalScript script;
    script.laterAnswers = TapBlockAnswer::Silence;
    TapTerminalSimulator terminal(script);
    // The host cancels once the first block has reached the terminal.
    const std::int32_t code = sendThrough(terminal, {{"1", "never answered"}, {"2", "never sent"}},
                                          [&terminal] { return !terminal.blocks().empty(); });
    EXPECT_EQ(code, 213);
    EXPECT_EQ(resultCode(0), 5);
    EXPECT_EQ(resultCode(1), 5);
    EXPECT_EQ(terminal.blocks().size(), 1u);
    EXPECT_EQ(log.levelOf("User clicked cancel button"), 9);
    EXPECT_EQ(log.levelOf("Send failed - Last Error bad (err=213)"), 8);
}

} // namespace
