// The SNPP engine against servers that refuse, restart, stall, close or talk too much.
#include "FakeSystemCalls.h"
#include "SnppFixture.h"

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

using FaultTest = SnppFixture;
using Clock = std::chrono::steady_clock;

// How the engine judges the greeting.
struct GreetingCase
{
    const char* name;
    const char* greeting;
    std::vector<std::string> lines; // what the server receives
    std::vector<int> results;
};

class GreetingTest : public SnppFixture, public ::testing::WithParamInterface<GreetingCase>
{ };

TEST_P(GreetingTest, DecidesWhetherTheMessagesGoOut)
{
    server.greet(GetParam().greeting);
    load({{"5551234", "a"}, {"5551235", "b"}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.lines(), GetParam().lines);
    EXPECT_EQ(results(), GetParam().results);
}

INSTANTIATE_TEST_SUITE_P(
    Greetings, GreetingTest,
    ::testing::Values(
        // Not available: goodbye at once, nothing processed, and the send itself succeeded.
        GreetingCase {"Fatal", "421 Too busy, try later\r\n", {"QUIT"}, {5, 5}},
        // Not understood: the messages still go out, each exactly once.
        GreetingCase {"Unknown",
                      "500 what?\r\n",
                      SnppFixture::join({SnppFixture::page("5551234", "a"),
                                         SnppFixture::page("5551235", "b"),
                                         {"QUIT"}}),
                      {1, 1}},
        // Informational lines before the greeting proper belong to it.
        GreetingCase {"MultiLine",
                      "214 Welcome\r\n214 to the test\r\n220 ready\r\n",
                      SnppFixture::join({SnppFixture::page("5551234", "a"),
                                         SnppFixture::page("5551235", "b"),
                                         {"QUIT"}}),
                      {1, 1}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(FaultTest, AFatalReplyEndsTheExchangeWithThatMessageRejected)
{
    server.answer("PAGE", "250 ok\r\n");
    server.answer("PAGE", "421 Shutting down\r\n");
    load({{"5551234", "a"}, {"5551235", "b"}, {"5551236", "c"}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.lines(), join({page("5551234", "a"), {"PAGER 5551235", "QUIT"}}));
    EXPECT_EQ(results(), (std::vector<int> {1, 3, 5}));
}

TEST_F(FaultTest, ARefusedCommandRestartsTheMessageAfterAReset)
{
    server.answer("MESS", "550 Error, Invalid Message\r\n");
    load({{"5551234", "a"}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.lines(),
              join({{"PAGER 5551234", "MESSAGE a", "RESE"}, page("5551234", "a"), {"QUIT"}}));
    EXPECT_EQ(results(), (std::vector<int> {1}));
    // The server forgot the first attempt, so the pager was paged once.
    EXPECT_EQ(server.pages().size(), 1u);
    EXPECT_NE(reporter.logText().find("State reply = unknown (550 Error, Invalid Message<0d>)"),
              std::string::npos);
}

TEST_F(FaultTest, AMessageIsGivenUpAfterThreeRestartsAndTheNextOneGoesOut)
{
    server.answer("SEND", "554 Error, failed\r\n", 4);
    load({{"5551234", "a"}, {"5551235", "b"}});
    EXPECT_EQ(send(), 0);
    std::vector<std::string> expected;
    for (int attempt = 0; attempt < 4; ++attempt) {
        expected = join({expected, page("5551234", "a"), {"RESE"}});
    }
    expected = join({expected, page("5551235", "b"), {"QUIT"}});
    EXPECT_EQ(server.lines(), expected);
    EXPECT_EQ(results(), (std::vector<int> {6, 1}));
    EXPECT_NE(reporter.logText().find("State packet 0 given up after 3 restarts"),
              std::string::npos);
}

TEST_F(FaultTest, AServerThatNeverAcceptsCannotHoldTheSendForEver)
{
    server.answer("PAGE", "550 Error, Invalid Pager ID\r\n", -1);
    load({{"1", "a"}, {"2", "b"}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(results(), (std::vector<int> {6, 6}));
    EXPECT_EQ(server.lines().size(), 2u * 4u * 2u + 1u); // PAGER and RESE, four tries each
}

TEST_F(FaultTest, ATwoWayAcknowledgementOfSendCountsAsSent)
{
    server.answer("SEND", "860 Delivered, awaiting read confirmation\r\n");
    server.answer("SEND", "960 1234 5678 OK, Message QUEUED for Delivery\r\n");
    load({{"5551234", "a"}, {"5551235", "b"}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.lines(), join({page("5551234", "a"), page("5551235", "b"), {"QUIT"}}));
    EXPECT_EQ(results(), (std::vector<int> {1, 1}));
}

TEST_F(FaultTest, MultiLineInformationBeforeAReplyKeepsTheEngineInStep)
{
    server.answer("PAGE", "214 Pager known\r\n214 It is on\r\n250 Pager ID Accepted\r\n");
    server.answer("SEND", "214 Queued\r\n554 Error, failed\r\n");
    load({{"5551234", "a"}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.lines(),
              join({page("5551234", "a"), {"RESE"}, page("5551234", "a"), {"QUIT"}}));
    EXPECT_EQ(results(), (std::vector<int> {1}));
}

TEST_F(FaultTest, AnOverlongReplyIsJudgedOnceByItsStart)
{
    // 300 characters: three pieces of the 128-byte buffer, one reply.
    server.answer("PAGE", "250 " + std::string(296, 'k') + "\r\n");
    server.answer("MESS", "550 " + std::string(200, 'n') + "\r\n");
    load({{"5551234", "a"}, {"5551235", "b"}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.lines(),
              join({{"PAGER 5551234", "MESSAGE a", "RESE"},
                    page("5551234", "a"),
                    page("5551235", "b"),
                    {"QUIT"}}));
    EXPECT_EQ(results(), (std::vector<int> {1, 1}));
    // Each piece was read into the buffer without overrunning it: 127 characters at most.
    EXPECT_NE(reporter.logText().find("Read=127[250 kkk"), std::string::npos);
}

TEST_F(FaultTest, ASilentServerFailsTheSendWith202AfterTheReplyTimeout)
{
    settings.replyTimeoutMs = 200;
    server.silenceOn("MESS");
    load({{"5551234", "a"}, {"5551235", "b"}});
    EXPECT_EQ(send(), 202);
    EXPECT_EQ(server.lines(), (std::vector<std::string> {"PAGER 5551234", "MESSAGE a", "QUIT"}));
    // The pager line was accepted, but nothing was sent: the message is not settled.
    EXPECT_EQ(results(), (std::vector<int> {5, 5}));
    const std::string log = reporter.logText();
    EXPECT_NE(log.find("Error: ReadFile failed (erc=6)"), std::string::npos);
    EXPECT_NE(log.find("State read timeout"), std::string::npos);
}

TEST_F(FaultTest, AReplyThatNeverEndsFailsTheSendWith203)
{
    settings.replyTimeoutMs = 300;
    server.addCue({"SEND", SnppCue::Action::Trickle, "250 Message Sent Succ", 1, 10});
    load({{"5551234", "a"}});
    EXPECT_EQ(send(), 203);
    EXPECT_EQ(results(), (std::vector<int> {5}));
    EXPECT_NE(reporter.logText().find("Read(TO)="), std::string::npos);
}

TEST_F(FaultTest, AServerClosingMidReplyFailsTheSendAtOnceWith203)
{
    settings.replyTimeoutMs = 10000;
    server.closeOn("MESS", "25");
    load({{"5551234", "a"}, {"5551235", "b"}});
    const auto start = Clock::now();
    EXPECT_EQ(send(), 203);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(5000));
    EXPECT_EQ(results(), (std::vector<int> {5, 5}));
    const std::string log = reporter.logText();
    EXPECT_NE(log.find("Error: the server closed the connection"), std::string::npos);
    EXPECT_NE(log.find("Read(TO)=2[25]"), std::string::npos);
}

TEST_F(FaultTest, AResetConnectionFailsTheSendWith202)
{
    server.addCue({"PAGE", SnppCue::Action::Reset, {}, 1, 0});
    load({{"5551234", "a"}});
    EXPECT_EQ(send(), 202);
    EXPECT_EQ(results(), (std::vector<int> {5}));
    // 100 + ECONNRESET (104)
    EXPECT_NE(reporter.logText().find("Error: ReadFile failed (erc=204)"), std::string::npos)
        << reporter.logText();
}

TEST_F(FaultTest, AFailedWriteFailsTheSendWith200)
{
    load({{"5551234", "a"}});
    server.greet("220 ready\r\n");
    FakeSystemCalls fake;
    fake.failSend(EPIPE);
    EXPECT_EQ(send(), 200);
    EXPECT_TRUE(server.lines().empty());
    EXPECT_EQ(results(), (std::vector<int> {5}));
    EXPECT_NE(reporter.logText().find("State SendPin write pin to port error"), std::string::npos);
}

TEST_F(FaultTest, CancelWhileWaitingForAReplyStopsWithoutGoodbye)
{
    settings.replyTimeoutMs = 20000;
    server.silenceOn("SEND");
    load({{"5551234", "a"}, {"5551235", "b"}});
    std::thread canceller([this] {
        const auto giveUp = Clock::now() + std::chrono::seconds(10);
        while (server.lines().size() < 3 && Clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        reporter.requestCancel();
    });
    const auto start = Clock::now();
    const int code = send();
    canceller.join();
    EXPECT_EQ(code, 213);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(10000));
    EXPECT_EQ(server.lines(), page("5551234", "a"));
    EXPECT_EQ(results(), (std::vector<int> {5, 5}));
    EXPECT_NE(reporter.logText().find("LocalThread fsm ends from USERABORT"), std::string::npos);
}

TEST_F(FaultTest, CancelBeforeTheEngineStartsSendsNothing)
{
    reporter.requestCancel();
    load({{"5551234", "a"}});
    EXPECT_EQ(send(), 213);
    EXPECT_TRUE(server.lines().empty());
    EXPECT_EQ(results(), (std::vector<int> {5}));
}

} // namespace
