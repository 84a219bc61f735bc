// How the exchange ends when the terminal ends it (a forced disconnect, ESC EOT), when its
// go-ahead is malformed, and how far the block size setting splits a text.
#include "EngineExpect.h"
#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Strings = std::vector<std::string>;
using A = TapBlockAnswer;

struct ForcedCase
{
    std::string name;
    TapLoginAnswer login;
    std::vector<A> answers;
    int code; // the overall code
    std::string lastWritten; // what the terminal received last: nothing follows it
};

class TapEngineForcedDisconnectTest
    : public ::testing::TestWithParam<std::tuple<ForcedCase, Transport>>
{ };

TEST_P(TapEngineForcedDisconnectTest, EndsAtOnceAndWritesNothingMore)
{
    const auto& [c, transport] = GetParam();
    TapTerminalScript script;
    script.loginAnswer = c.login;
    script.blockAnswers = c.answers;
    // With the old handling each unanswered block would cost this long, four times over.
    TapSettings settings = fastSettings();
    settings.readTimeoutSeconds = 3;
    settings.promptTimeoutSeconds = 3;
    EngineHarness harness(script, settings, transport);
    ASSERT_TRUE(harness.ready());
    harness.add("100", "first");
    harness.add("200", "ATDT 5550000");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(harness.run());
    const auto took = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(harness.reporter().lastError(), c.code);
    EXPECT_EQ(harness.result(0), 5);
    EXPECT_EQ(harness.result(1), 5);
    // Neither a resend, the next message nor the disconnect sequence was written.
    const std::string received = harness.terminal().received();
    ASSERT_GE(received.size(), c.lastWritten.size());
    EXPECT_EQ(received.substr(received.size() - c.lastWritten.size()), c.lastWritten);
    EXPECT_FALSE(harness.terminal().eotSeen());
    EXPECT_LE(harness.terminal().blocks().size(), 1u);
    const Strings statuses = harness.reporter().statuses();
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), "Remote disconnected");
    EXPECT_EQ(
        countOf(harness.reporter().logMessages(2), "STATE Remote forced disconnect (ESC EOT)"), 1);
    EXPECT_EQ(countOf(harness.reporter().logMessages(10), "STATE Disconnect"), 0);
    // No wait ran out: the end came with the terminal's answer.
    EXPECT_LT(took, std::chrono::seconds(3));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TapEngineForcedDisconnectTest,
    ::testing::Combine(
        ::testing::Values(
            ForcedCase {"AtLogin", TapLoginAnswer::ForcedDisconnect, {}, 205, "\x1bPG1\r"},
            ForcedCase {"AfterABlock",
                        TapLoginAnswer::Ack,
                        {A::ForcedDisconnect},
                        202,
                        closedBlock("\x02"
                                    "100\rfirst\r\x03")}),
        ::testing::Values(Transport::SocketPair, Transport::PseudoTerminal, Transport::Tcp)),
    [](const ::testing::TestParamInfo<std::tuple<ForcedCase, Transport>>& param) {
        return std::get<0>(param.param).name + transportName(std::get<1>(param.param));
    });

TEST(TapEngineEndTest, ConnectionClosedByTheTerminalEndsTheExchangeAtOnce)
{
    // A terminal that hangs up without a word: no resend, no next message, no "success".
    TapTerminalScript script;
    script.blockAnswers = {A::HangUp};
    EngineHarness harness(script, fastSettings(), Transport::Tcp);
    ASSERT_TRUE(harness.ready());
    harness.add("1", "one");
    harness.add("2", "two");
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.reporter().lastError(), 202);
    EXPECT_EQ(harness.result(0), 5);
    EXPECT_EQ(harness.result(1), 5);
    EXPECT_EQ(harness.terminal().blocks().size(), 1u);
    EXPECT_EQ(countOf(harness.reporter().logMessages(11), "STATE Disconnect"), 0);
    EXPECT_EQ(countOf(harness.reporter().logMessages(2), "STATE Connection lost"), 1);
    EXPECT_EQ(harness.reporter().statuses().back(), "Connection lost");
}

TEST(TapEngineEndTest, MalformedGoAheadGives209WithoutWaiting)
{
    // A line holding an escape sequence that is not ESC "[p" is answered at once; the
    // proper go-ahead that follows later (within the prompt time-out) is not waited for.
    TapTerminalScript script;
    script.goAheadReplacement = "\x1b[q\r";
    script.afterGoAheadMs = 400;
    EngineHarness harness(script, fastSettings());
    ASSERT_TRUE(harness.ready());
    harness.add("5", "hello");
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.reporter().lastError(), 209);
    EXPECT_EQ(harness.result(0), 5);
    EXPECT_TRUE(harness.terminal().blocks().empty());
    const Strings statuses = harness.reporter().statuses();
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses[statuses.size() - 2], "Remote reply invalid");
}

TEST(TapEngineEndTest, BlockTextLimitSplitsLongTexts)
{
    const struct
    {
        int limit;
        std::vector<std::size_t> sizes; // encoded text bytes per block
    } cases[] = {
        {250, {250, 250, 100}},
        {511, {511, 89}},
        // Out of range: kept within 2..511.
        {9999, {511, 89}},
    };
    std::string text;
    for (int i = 0; i < 600; ++i) {
        text += static_cast<char>('a' + i % 26);
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        TapSettings settings = fastSettings();
        settings.maxBlockText = c.limit;
        EngineHarness harness({}, settings);
        ASSERT_TRUE(harness.ready());
        harness.add("7", text);
        ASSERT_TRUE(harness.run());
        EXPECT_EQ(harness.result(0), 1);
        const std::vector<TapReceivedBlock> blocks = harness.terminal().blocks();
        ASSERT_EQ(blocks.size(), c.sizes.size());
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            EXPECT_EQ(blocks[i].text.size(), c.sizes[i]);
            EXPECT_EQ(blocks[i].continues, i + 1 < blocks.size());
        }
        ASSERT_EQ(harness.terminal().messages().size(), 1u);
        EXPECT_EQ(harness.terminal().messages()[0].text, text);
    }
}

TEST(TapEngineEndTest, EscapePairsAreNeverSplitByASmallLimit)
{
    TapSettings settings = fastSettings();
    settings.maxBlockText = 3;
    EngineHarness harness({}, settings);
    ASSERT_TRUE(harness.ready());
    harness.add("7", "a\rb\tc");
    ASSERT_TRUE(harness.run());
    EXPECT_EQ(harness.result(0), 1);
    const std::vector<TapReceivedBlock> blocks = harness.terminal().blocks();
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0].text, "a\r");
    EXPECT_EQ(blocks[1].text, "b\t");
    EXPECT_EQ(blocks[2].text, "c");
    ASSERT_EQ(harness.terminal().messages().size(), 1u);
    EXPECT_EQ(harness.terminal().messages()[0].text, "a\rb\tc");
}

} // namespace
