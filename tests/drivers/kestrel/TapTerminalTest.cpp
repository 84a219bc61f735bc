#include "TapTerminal.h"

#include "StreamPair.h"
#include "TapTerminalSimulator.h"
#include "log/LogFile.h"
#include "telephony/PortLink.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Outputs = std::vector<TapTerminal::Output>;

std::string feed(TapTerminal& terminal, std::string_view bytes)
{
    Outputs out;
    for (const char c : bytes) {
        terminal.receive(static_cast<unsigned char>(c), out);
    }
    std::string sent;
    for (const TapTerminal::Output& piece : out) {
        sent += piece.bytes;
    }
    return sent;
}

std::string block(std::string_view upToTerminator)
{
    return std::string(upToTerminator) + TapTerminal::checksum(upToTerminator) + "\r";
}

TapTerminal loggedIn(TapTerminalScript script = {})
{
    TapTerminal terminal(std::move(script));
    Outputs out;
    terminal.connected(out);
    feed(terminal, "\x1bPG1\r");
    return terminal;
}

TEST(TapTerminalTest, PromptsAfterTheNthCarriageReturn)
{
    TapTerminalScript script;
    script.promptAfterCr = 2;
    script.promptPieces = {"ID", "="};
    script.pieceDelayMs = 30;
    TapTerminal terminal(script);
    Outputs out;
    terminal.connected(out);
    EXPECT_TRUE(out.empty());
    terminal.receive('\r', out);
    EXPECT_TRUE(out.empty());
    terminal.receive('\r', out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].bytes, "ID");
    EXPECT_EQ(out[0].delayMs, 0);
    EXPECT_EQ(out[1].bytes, "=");
    EXPECT_EQ(out[1].delayMs, 30);
    EXPECT_EQ(terminal.wakeUps(), 2);
    EXPECT_EQ(terminal.prompts(), 1);
}

TEST(TapTerminalTest, AnswersTheLoginAsScripted)
{
    struct Case
    {
        TapLoginAnswer answer;
        bool goAhead;
        std::string beforeGoAhead;
        std::string expected;
    };
    const Case cases[] = {
        {TapLoginAnswer::Ack, true, "", "\x06\r\x1b[p\r"},
        {TapLoginAnswer::Ack, true, "wait p\r", "\x06\rwait p\r\x1b[p\r"},
        {TapLoginAnswer::Ack, false, "", "\x06\r"},
        {TapLoginAnswer::Nak, true, "", "\x15\r"},
        {TapLoginAnswer::EscAlone, true, "", "\x1b"},
        {TapLoginAnswer::Silence, true, "", ""},
    };
    for (const Case& c : cases) {
        TapTerminalScript script;
        script.promptAfterCr = -1;
        script.loginAnswer = c.answer;
        script.goAhead = c.goAhead;
        script.beforeGoAhead = c.beforeGoAhead;
        TapTerminal terminal(script);
        // The login's own CR is no wake-up.
        EXPECT_EQ(feed(terminal, "\r\x1bPG1\r"), c.expected);
        EXPECT_EQ(terminal.wakeUps(), 1);
        EXPECT_EQ(terminal.logins(), 1);
    }
}

TEST(TapTerminalTest, ChattersBeforeItsAnswers)
{
    TapTerminalScript script;
    script.loginChatter = {"wait\r", 2, 40};
    script.loginDelayMs = 10;
    script.goAhead = false;
    script.answerChatter = {".", 3, 5};
    TapTerminal terminal(script);
    Outputs out;
    for (const char c : std::string_view("\x1bPG1\r")) {
        terminal.receive(static_cast<unsigned char>(c), out);
    }
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].bytes, "wait\r");
    EXPECT_EQ(out[0].delayMs, 40);
    EXPECT_EQ(out[1].delayMs, 40);
    EXPECT_EQ(out[2].bytes, "\x06\r");
    EXPECT_EQ(out[2].delayMs, 10);
    EXPECT_EQ(feed(terminal,
                   block("\x02"
                         "1\rx\r\x03")),
              "...\x06\r");
}

TEST(TapTerminalTest, BadChecksumIsAnsweredNakAndCounted)
{
    TapTerminal terminal = loggedIn();
    std::string bad = block("\x02"
                            "12\rhi\r\x03");
    bad[bad.size() - 2] ^= 1;
    EXPECT_EQ(feed(terminal, bad), "\x15\r");
    EXPECT_EQ(terminal.badChecksums(), 1);
    EXPECT_TRUE(terminal.messages().empty());
    EXPECT_EQ(feed(terminal,
                   block("\x02"
                         "12\rhi\r\x03")),
              "\x06\r");
    ASSERT_EQ(terminal.messages().size(), 1u);
    EXPECT_EQ(terminal.messages()[0].pagerId, "12");
    EXPECT_EQ(terminal.messages()[0].text, "hi");
}

TEST(TapTerminalTest, JoinsContinuationBlocksAndUndoesEscapes)
{
    TapTerminalScript script;
    script.blockAnswers = {TapBlockAnswer::Ack, TapBlockAnswer::Nak};
    script.beforeAnswer = "ok\r";
    TapTerminal terminal = loggedIn(script);
    EXPECT_EQ(feed(terminal,
                   block("\x02"
                         "7\rab\x1aM\x1f")),
              "ok\r\x06\r");
    const std::string last = block("\x02"
                                   "c\x1a\x29\r\x03");
    EXPECT_EQ(feed(terminal, last), "ok\r\x15\r");
    EXPECT_EQ(feed(terminal, last), "ok\r\x06\r");
    ASSERT_EQ(terminal.blocks().size(), 3u);
    EXPECT_FALSE(terminal.blocks()[0].continuation);
    EXPECT_TRUE(terminal.blocks()[0].continues);
    EXPECT_TRUE(terminal.blocks()[2].continuation);
    ASSERT_EQ(terminal.messages().size(), 1u);
    EXPECT_EQ(terminal.messages()[0].text, "ab\rc\xe9");
    EXPECT_EQ(terminal.messages()[0].blocks, 2);
    EXPECT_FALSE(feed(terminal, "\x04\r").size());
    EXPECT_TRUE(terminal.eotSeen());
}

TEST(TapTerminalTest, ABlockOtherThanTheUnansweredOneStartsAFreshMessage)
{
    TapTerminalScript script;
    script.blockAnswers = {TapBlockAnswer::Ack, TapBlockAnswer::Silence};
    TapTerminal terminal = loggedIn(script);
    feed(terminal,
         block("\x02"
               "7\rpart\x1f"));
    feed(terminal,
         block("\x02"
               "more\x1f"));
    // The caller gave the long message up and sends the next one.
    feed(terminal,
         block("\x02"
               "8\rnew\r\x03"));
    ASSERT_EQ(terminal.messages().size(), 1u);
    EXPECT_EQ(terminal.messages()[0].pagerId, "8");
    EXPECT_EQ(terminal.messages()[0].text, "new");
}

// Reads one answer of the simulator up to the terminator; "" when none came in time.
std::string answer(PortLink& link, std::string_view terminators)
{
    char buffer[128];
    std::size_t length = sizeof buffer;
    return link.read(buffer, length, terminators, 5000) ? std::string(buffer, length) : "";
}

TEST(TapTerminalSimulatorTest, HandlingTimeLeavesTheScriptedPausesOut)
{
    using namespace std::chrono_literals;
    TapTerminalScript script;
    script.loginDelayMs = 300;
    script.answerDelayMs = 300;
    StreamPair pair = StreamPair::sockets();
    ASSERT_TRUE(pair.valid());
    TapTerminalSimulator simulator(script);
    ASSERT_TRUE(simulator.serve(pair.remote()));
    LogFile closedLog(LogFile::Mode::PlugIn);
    PortLink link(pair.local(), closedLog, "kestrel");

    EXPECT_EQ(answer(link, "="), "ID=");
    ASSERT_TRUE(link.write("\x1bPG1\r", 5));
    EXPECT_EQ(answer(link, "p"), "\x06\r\x1b[p");
    const std::string one = block("\x02"
                                  "42\rhello\r\x03");
    ASSERT_TRUE(link.write(one.data(), one.size()));
    EXPECT_EQ(answer(link, "\x06"), "\r\x06");
    ASSERT_TRUE(link.write("\x04\r", 2));
    ASSERT_TRUE(simulator.waitForEnd(5000));
    simulator.stop();

    // Two pauses of 300 ms passed in the session; the simulator's own work is far shorter.
    ASSERT_EQ(simulator.messages().size(), 1u);
    EXPECT_GT(simulator.handlingTime(), 0ns);
    EXPECT_LT(simulator.handlingTime(), 300ms);
}

} // namespace
