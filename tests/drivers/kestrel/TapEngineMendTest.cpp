#include "EngineExpect.h"
#include "EngineHarness.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;
using A = TapBlockAnswer;

std::string longText(std::size_t length)
{
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        text += static_cast<char>('A' + i % 26);
    }
    return text;
}

class TapEngineContinuationTest : public ::testing::TestWithParam<Transport>
{ };

TEST_P(TapEngineContinuationTest, LongTextGoesOutInContinuationBlocks)
{
    EngineHarness harness({}, fastSettings(), GetParam());
    ASSERT_TRUE(harness.ready());
    const std::string text = longText(1100);
    harness.add("31337", text);
    harness.add("42", "short");
    ASSERT_TRUE(harness.run());

    EXPECT_EQ(harness.reporter().lastError(), 0);
    EXPECT_EQ(harness.result(0), 1);
    EXPECT_EQ(harness.result(1), 1);
    TapTerminalSimulator& terminal = harness.terminal();
    EXPECT_EQ(rawBlocks(terminal.blocks()),
              (Strings {closedBlock("\x02"
                                    "31337\r"
                                    + text.substr(0, 511) + "\x1f"),
                        closedBlock("\x02" + text.substr(511, 511) + "\x1f"),
                        closedBlock("\x02" + text.substr(1022) + "\r\x03"),
                        closedBlock("\x02"
                                    "42\rshort\r\x03")}));
    ASSERT_EQ(terminal.messages().size(), 2u);
    EXPECT_EQ(terminal.messages()[0].pagerId, "31337");
    EXPECT_EQ(terminal.messages()[0].text, text);
    EXPECT_EQ(terminal.messages()[0].blocks, 3);
    // One answer per block.
    EXPECT_EQ(countOf(harness.reporter().logMessages(10), "STATE Send packet received ACK"), 4);
    // Progress stays at 2k+1 while message k's blocks go out.
    EXPECT_EQ(harness.reporter().progress(), (std::vector<int> {0, 1, 1, 1, 1, 1, 2, 3, 4}));
    EXPECT_EQ(countOf(harness.reporter().statuses(), "Sending packet 1 of 2"), 3);
}

INSTANTIATE_TEST_SUITE_P(Transports, TapEngineContinuationTest,
                         ::testing::Values(Transport::SocketPair, Transport::PseudoTerminal),
                         [](const ::testing::TestParamInfo<Transport>& param) {
                             return param.param == Transport::SocketPair ? "SocketPair"
                                                                         : "PseudoTerminal";
                         });

struct ContinuationCase
{
    std::string name;
    std::vector<TapBlockAnswer> answers;
    int code; // of the long message
    int blocks; // blocks the terminal received, the short message's included
    bool delivered; // whether the terminal accepted the long message
};

class TapEngineContinuationAnswerTest : public ::testing::TestWithParam<ContinuationCase>
{ };

TEST_P(TapEngineContinuationAnswerTest, MessageCodeIsTheOutcomeOfItsLastBlock)
{
    const ContinuationCase& c = GetParam();
    TapTerminalScript script;
    script.blockAnswers = c.answers;
    EngineHarness harness(script, fastSettings());
    ASSERT_TRUE(harness.ready());
    const std::string text = longText(700);
    harness.add("1", text);
    harness.add("2", "next");
    ASSERT_TRUE(harness.run());

    EXPECT_EQ(harness.reporter().lastError(), 0);
    EXPECT_EQ(harness.result(0), c.code);
    EXPECT_EQ(harness.result(1), 1);
    const std::vector<TapReceivedBlock> blocks = harness.terminal().blocks();
    ASSERT_EQ(static_cast<int>(blocks.size()), c.blocks);
    // The next message starts afresh with its identifier.
    EXPECT_EQ(blocks.back().raw,
              closedBlock("\x02"
                          "2\rnext\r\x03"));
    const std::vector<TapReceivedMessage> messages = harness.terminal().messages();
    ASSERT_EQ(messages.size(), c.delivered ? 2u : 1u);
    if (c.delivered) {
        EXPECT_EQ(messages[0].text, text);
    }
    EXPECT_EQ(messages.back().text, "next");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TapEngineContinuationAnswerTest,
    ::testing::Values(
        ContinuationCase {"BothAcknowledged", {}, 1, 3, true},
        // The continuation block is resent alone after its NAK.
        ContinuationCase {"NakOnTheContinuation", {A::Ack, A::Nak, A::Ack}, 1, 4, true},
        // A reject of the first block drops the rest of the message.
        ContinuationCase {"RejectOfTheFirstBlock", {A::Rs}, 3, 2, false},
        ContinuationCase {"RejectOfTheContinuation", {A::Ack, A::Rs}, 3, 3, false},
        ContinuationCase {
            "ContinuationGivenUp", {A::Ack, A::Nak, A::Nak, A::Nak, A::Nak}, 4, 6, false}),
    [](const ::testing::TestParamInfo<ContinuationCase>& param) { return param.param.name; });

TEST(TapEngineMendTest, BytesThatWouldEscapeToControlBytesGoOutAsQuestionMarks)
{
    EngineHarness harness({}, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("5", "x\xc3y\xc0\xdf\xe9");
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.result(0), 1);
    EXPECT_EQ(rawBlocks(harness.terminal().blocks()),
              (Strings {closedBlock("\x02"
                                    "5\rx?y??\x1a\x29\r\x03")}));
    EXPECT_EQ(harness.terminal().badChecksums(), 0);
}

TEST(TapEngineMendTest, GoAheadAfterTextHoldingAPIsAccepted)
{
    TapTerminalScript script;
    script.beforeGoAhead = "Please wait, processing\r";
    EngineHarness harness(script, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("5", "hello");
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.reporter().lastError(), 0);
    EXPECT_EQ(harness.result(0), 1);
    EXPECT_EQ(countOf(harness.reporter().logMessages(10), "STATE WaitTerminalReady"), 1);
}

TEST(TapEngineMendTest, GoAheadSplitByAFullReadBufferIsFound)
{
    // After the ACK the stream holds CR (a read of its own), then the filler, ESC and "[":
    // 127 bytes, one full read; the "p" comes in the next read.
    TapTerminalScript script;
    script.beforeGoAhead = std::string(125, '.');
    EngineHarness harness(script, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("5", "hello");
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.reporter().lastError(), 0);
    EXPECT_EQ(harness.result(0), 1);
    const Strings reads = harness.reporter().logMessages(11);
    EXPECT_EQ(countOf(reads, "Read=1[p]"), 1);
}

} // namespace

namespace {

TEST(TapEngineMendTest, TerminalThatKeepsTalkingWithoutAnsweringCountsAsNoAnswer)
{
    // A lone ESC every 100 ms ends each read at once; the ACK would come after 3 s, but
    // the stay in the state ends after twice the prompt time-out.
    TapTerminalScript script;
    script.loginChatter = {"\x1b", 30, 100};
    EngineHarness harness(script, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("5", "hello");
    ASSERT_TRUE(harness.run(0));
    EXPECT_EQ(harness.reporter().lastError(), 205);
    EXPECT_EQ(harness.result(0), 5);
    const Strings statuses = harness.reporter().statuses();
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses[statuses.size() - 2], "Error: no login reply");
    EXPECT_GT(countOf(harness.reporter().logMessages(10), "STATE WaitLoginReply"), 5);
}

} // namespace
