#include "EngineExpect.h"
#include "EngineHarness.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

class TapEngineExchangeTest : public ::testing::TestWithParam<Transport>
{ };

TEST_P(TapEngineExchangeTest, DeliversEveryMessageByteExact)
{
    EngineHarness harness({}, fastSettings(), GetParam());
    ASSERT_TRUE(harness.ready());
    harness.add("1234", "HI");
    harness.add("-5", "a\rb\xe9");
    harness.add("7", "");
    ASSERT_TRUE(harness.run());

    EXPECT_EQ(harness.reporter().lastError(), 0);
    EXPECT_EQ(harness.result(0), 1);
    EXPECT_EQ(harness.result(1), 1);
    EXPECT_EQ(harness.result(2), 1);
    TapTerminalSimulator& terminal = harness.terminal();
    EXPECT_EQ(rawBlocks(terminal.blocks()),
              (Strings {"\x02"
                        "1234\rHI\r\x03"
                        "17:\r",
                        closedBlock("\x02"
                                    "4294967291\ra\x1aMb\x1a\x29\r\x03"),
                        closedBlock("\x02"
                                    "7\r\r\x03")}));
    ASSERT_EQ(terminal.messages().size(), 3u);
    EXPECT_EQ(terminal.messages()[1].pagerId, "4294967291");
    EXPECT_EQ(terminal.messages()[1].text, "a\rb\xe9");
    EXPECT_EQ(terminal.badChecksums(), 0);
    // The prompt came at once: no wake-up CR, the login first, EOT CR last.
    const std::string received = terminal.received();
    EXPECT_EQ(received.substr(0, 5), "\x1bPG1\r");
    EXPECT_EQ(received.substr(received.size() - 2), "\x04\r");
    EXPECT_EQ(terminal.wakeUps(), 0);
    EXPECT_TRUE(terminal.eotSeen());

    EXPECT_EQ(harness.reporter().progress(), (std::vector<int> {0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(harness.reporter().phases(), (std::vector<int> {2, 3, 3, 3, 3, 4}));
    EXPECT_EQ(harness.reporter().statuses(),
              (Strings {"Logging...", "Waiting for prompt...", "Logging in...", "Login successful",
                        "Waiting for remote...", "Processing packet...", "Sending packet 1 of 3",
                        "Processing packet...", "Sending packet 2 of 3", "Processing packet...",
                        "Sending packet 3 of 3", "Processing packet...", "Disconnecting"}));
}

TEST_P(TapEngineExchangeTest, EmptyListLogsInAndDisconnectsWithZero)
{
    EngineHarness harness({}, fastSettings(), GetParam());
    ASSERT_TRUE(harness.ready());
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.reporter().lastError(), 0);
    EXPECT_EQ(harness.terminal().logins(), 1);
    EXPECT_TRUE(harness.terminal().blocks().empty());
    EXPECT_TRUE(harness.terminal().eotSeen());
    EXPECT_EQ(harness.reporter().progress(), (std::vector<int> {0}));
}

INSTANTIATE_TEST_SUITE_P(Transports, TapEngineExchangeTest,
                         ::testing::Values(Transport::SocketPair, Transport::PseudoTerminal,
                                           Transport::Tcp),
                         [](const ::testing::TestParamInfo<Transport>& param) {
                             return transportName(param.param);
                         });

TEST(TapEngineTest, ControlCharactersBecomeQuestionMarksWithoutTransparency)
{
    TapSettings settings = fastSettings();
    settings.transChars = false;
    EngineHarness harness({}, settings);
    ASSERT_TRUE(harness.ready());
    harness.add("55", "a\rb\xe9");
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(rawBlocks(harness.terminal().blocks()),
              (Strings {closedBlock("\x02"
                                    "55\ra?b?\r\x03")}));
    EXPECT_EQ(harness.result(0), 1);
}

struct AnswerCase
{
    std::string name;
    std::vector<TapBlockAnswer> answers;
    int maxSendPacket;
    std::vector<int> codes; // of the two messages
    int blocks; // blocks the terminal received
    std::vector<int> progress;
};

class TapEngineAnswerTest : public ::testing::TestWithParam<AnswerCase>
{ };

TEST_P(TapEngineAnswerTest, SettlesEachMessageByItsAnswers)
{
    const AnswerCase& c = GetParam();
    TapTerminalScript script;
    script.blockAnswers = c.answers;
    TapSettings settings = fastSettings();
    settings.maxSendPacket = c.maxSendPacket;
    EngineHarness harness(script, settings);
    ASSERT_TRUE(harness.ready());
    harness.add("100", "first");
    harness.add("200", "second");
    ASSERT_TRUE(harness.run());

    EXPECT_EQ(harness.reporter().lastError(), 0);
    EXPECT_EQ((std::vector<int> {harness.result(0), harness.result(1)}), c.codes);
    const std::vector<TapReceivedBlock> blocks = harness.terminal().blocks();
    ASSERT_EQ(static_cast<int>(blocks.size()), c.blocks);
    // The second message always follows, and its block is the last one.
    EXPECT_EQ(blocks.back().pagerId, "200");
    EXPECT_EQ(harness.reporter().progress(), c.progress);
    EXPECT_TRUE(harness.terminal().eotSeen());
}

using A = TapBlockAnswer;
INSTANTIATE_TEST_SUITE_P(
    Answers, TapEngineAnswerTest,
    ::testing::Values(
        AnswerCase {"Ack", {A::Ack}, 3, {1, 1}, 2, {0, 1, 2, 3, 4}},
        AnswerCase {"NakFourTimesGivesUp",
                    {A::Nak, A::Nak, A::Nak, A::Nak},
                    3,
                    {4, 1},
                    5,
                    {0, 1, 1, 1, 1, 2, 3, 4}},
        AnswerCase {"NakThenAck", {A::Nak, A::Nak, A::Ack}, 3, {1, 1}, 4, {0, 1, 1, 1, 2, 3, 4}},
        AnswerCase {"RejectIsNotResent", {A::Rs}, 3, {3, 1}, 2, {0, 1, 2, 3, 4}},
        AnswerCase {"LimitZeroWritesOnce", {A::Nak, A::Nak}, 0, {4, 4}, 2, {0, 1, 2, 3, 4}}),
    [](const ::testing::TestParamInfo<AnswerCase>& param) { return param.param.name; });

TEST(TapEngineTest, NakFourTimesLogsAndShowsTheResends)
{
    TapTerminalScript script;
    script.blockAnswers = {A::Nak, A::Nak, A::Nak, A::Nak};
    EngineHarness harness(script, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("100", "first");
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.result(0), 4);
    EXPECT_EQ(harness.terminal().blocks().size(), 4u);
    const Strings errors = harness.reporter().logMessages(2);
    EXPECT_EQ(errors,
              (Strings {"STATE Send packet received NAK (resend)!!!",
                        "STATE Send packet received NAK (resend)!!!",
                        "STATE Send packet received NAK (resend)!!!",
                        "STATE Send packet received NAK (resend)!!!",
                        "STATE Sending too many resends - abort packet"}));
    const Strings statuses = harness.reporter().statuses();
    EXPECT_EQ(countOf(statuses, "Sending packet 1 of 1"), 1);
    EXPECT_EQ(countOf(statuses, "Resending packet 1 of 1 (retries=2)"), 1);
    EXPECT_EQ(countOf(statuses, "Resending packet 1 of 1 (retries=4)"), 1);
    EXPECT_EQ(countOf(statuses, "Too many resends, aborting"), 1);
    const Strings states = harness.reporter().logMessages(10);
    EXPECT_EQ(countOf(states, "STATE Sending packet retry=4"), 1);
}

TEST(TapEngineTest, RejectLogsAtErrorLevel)
{
    TapTerminalScript script;
    script.blockAnswers = {A::Rs};
    EngineHarness harness(script, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("100", "first");
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.result(0), 3);
    EXPECT_EQ(harness.reporter().logMessages(2),
              (Strings {"STATE Send packet received RS (reject)!!"}));
}

TEST(TapEngineTest, UnansweredBlockIsResentAfterTheReplyTimeout)
{
    TapTerminalScript script;
    script.blockAnswers = {A::Silence};
    EngineHarness harness(script, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("100", "first");
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.result(0), 1);
    const std::vector<TapReceivedBlock> blocks = harness.terminal().blocks();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].raw, blocks[1].raw);
    EXPECT_EQ(countOf(harness.reporter().logMessages(11),
                      "STATE WaitPacketReply read from server timeout"),
              1);
    EXPECT_EQ(harness.reporter().lastError(), 0);
}

TEST(TapEngineTest, PromptInPiecesEndsTheReadAtTheEqualsSign)
{
    TapTerminalScript script;
    script.promptPieces = {"I", "D", "="};
    script.pieceDelayMs = 50;
    EngineHarness harness(script, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("9", "x");
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.terminal().wakeUps(), 0);
    EXPECT_EQ(harness.terminal().logins(), 1);
    EXPECT_EQ(harness.result(0), 1);
}

TEST(TapEngineTest, CrBeforeThePromptCostsOneWakeUp)
{
    TapTerminalScript script;
    script.beforePrompt = "\r";
    EngineHarness harness(script, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("9", "x");
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.terminal().wakeUps(), 1);
    EXPECT_EQ(harness.terminal().logins(), 1);
    EXPECT_EQ(harness.result(0), 1);
    EXPECT_EQ(countOf(harness.reporter().logMessages(10), "STATE WaitPrompt"), 2);
}

TEST(TapEngineTest, LogsEveryStepAtItsLevel)
{
    EngineHarness harness({}, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("1234", "HI");
    ASSERT_TRUE(harness.run());
    Strings lines;
    for (const LogEntry& entry : harness.reporter().logEntries()) {
        EXPECT_EQ(entry.tag, "kestrel");
        lines.push_back(std::to_string(entry.level) + " " + entry.message);
    }
    // The stream's bytes are fixed, so the reads' dumps are too: the CR after the login's
    // ACK is a line of its own in the go-ahead's reads (which also end at CR), the CR after
    // ESC "[p" opens the block's answer.
    EXPECT_EQ(lines,
              (Strings {"10 STATE Start",
                        "10 STATE WaitPrompt",
                        "12 Terminator found(61)",
                        "11 Read=3[ID=]",
                        "10 STATE SendLogin",
                        "11 Write=5[<1b>PG1<0d>]",
                        "10 STATE WaitLoginReply",
                        "12 Terminator found(6)",
                        "11 Read=1[<06>]",
                        "10 STATE Login received ACK",
                        "10 STATE WaitTerminalReady",
                        "12 Terminator found(13)",
                        "11 Read=1[<0d>]",
                        "12 Terminator found(112)",
                        "11 Read=3[<1b>[p]",
                        "10 STATE ProcessNextPacket 0",
                        "11 Make packet=14[<02>1234<0d>HI<0d><03>17:<0d>]",
                        "10 STATE Sending packet retry=0",
                        "11 Write=14[<02>1234<0d>HI<0d><03>17:<0d>]",
                        "10 STATE WaitPacketReply",
                        "12 Terminator found(6)",
                        "11 Read=2[<0d><06>]",
                        "10 STATE Send packet received ACK",
                        "10 STATE ProcessNextPacket 1",
                        "11 STATE Disconnect",
                        "11 Write=2[<04><0d>]"}));
}

struct FailureCase
{
    std::string name;
    TapTerminalScript script;
    int promptTimeoutSeconds;
    int code;
    std::string status; // the last status before "Disconnecting"
    int wakeUps;
    int logins;
    int promptWaits; // "STATE WaitPrompt" lines
    int loginWaits; // "STATE WaitLoginReply" lines
};

TapTerminalScript scripted(auto change)
{
    TapTerminalScript script;
    change(script);
    return script;
}

class TapEngineFailureTest : public ::testing::TestWithParam<FailureCase>
{ };

TEST_P(TapEngineFailureTest, EndsWithItsCodeAndLeavesMessagesUnprocessed)
{
    const FailureCase& c = GetParam();
    TapSettings settings = fastSettings();
    settings.promptTimeoutSeconds = c.promptTimeoutSeconds;
    EngineHarness harness(c.script, settings);
    ASSERT_TRUE(harness.ready());
    harness.add("100", "first");
    harness.add("200", "second");
    ASSERT_TRUE(harness.run());

    EXPECT_EQ(harness.reporter().lastError(), c.code);
    EXPECT_EQ(harness.result(0), 5);
    EXPECT_EQ(harness.result(1), 5);
    const Strings statuses = harness.reporter().statuses();
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses[statuses.size() - 2], c.status);
    EXPECT_EQ(statuses.back(), "Disconnecting");
    EXPECT_EQ(harness.terminal().wakeUps(), c.wakeUps);
    EXPECT_EQ(harness.terminal().logins(), c.logins);
    EXPECT_TRUE(harness.terminal().blocks().empty());
    EXPECT_TRUE(harness.terminal().eotSeen());
    const Strings states = harness.reporter().logMessages(10);
    EXPECT_EQ(countOf(states, "STATE WaitPrompt"), c.promptWaits);
    EXPECT_EQ(countOf(states, "STATE WaitLoginReply"), c.loginWaits);
    EXPECT_TRUE(harness.reporter().progress().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, TapEngineFailureTest,
    ::testing::Values(
        // A prompt time-out of 0 lets seven waits pass at once.
        FailureCase {"SilentTerminal", scripted([](auto& s) { s.promptAfterCr = -1; }), 0, 212,
                     "Error: remote not responding", 6, 0, 7, 0},
        FailureCase {"LoginRefused", scripted([](auto& s) { s.loginAnswer = TapLoginAnswer::Nak; }),
                     1, 205, "Login rejected", 0, 1, 1, 1},
        // ESC ends the first read; the second gets nothing within the prompt time-out.
        FailureCase {"EscAloneAnswersTheLogin",
                     scripted([](auto& s) { s.loginAnswer = TapLoginAnswer::EscAlone; }), 1, 205,
                     "Error: no login reply", 0, 1, 1, 2},
        FailureCase {"NoGoAhead", scripted([](auto& s) { s.goAhead = false; }), 1, 208,
                     "Remote not ready", 0, 1, 1, 1},
        FailureCase {"TextWithoutGoAhead", scripted([](auto& s) {
                         s.goAhead = false;
                         s.beforeGoAhead = "Please stop by\r";
                     }),
                     1, 209, "Remote reply invalid", 0, 1, 1, 1}),
    [](const ::testing::TestParamInfo<FailureCase>& param) { return param.param.name; });

} // namespace
