// The SNPP engine against a well-behaved server: what goes over the wire, the results, the
// progress it reports and the lines it logs.
#include "SnppFixture.h"
#include "settings/SettingsKey.h"

#include <algorithm>
#include <chrono>
#include <string>

namespace {

using ExchangeTest = SnppFixture;

TEST_F(ExchangeTest, ThreeAcceptedMessagesArePagedInOrderThenQuit)
{
    load({{"5551234", "first"}, {"5551235", "second"}, {"5551236", "third"}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.received(),
              "PAGER 5551234\r\nMESSAGE first\r\nSEND\r\n"
              "PAGER 5551235\r\nMESSAGE second\r\nSEND\r\n"
              "PAGER 5551236\r\nMESSAGE third\r\nSEND\r\n"
              "QUIT\r\n");
    EXPECT_EQ(results(), (std::vector<int> {1, 1, 1}));
    ASSERT_EQ(server.pages().size(), 3u);
    EXPECT_EQ(server.pages()[2].message, "third");
}

TEST_F(ExchangeTest, ReportsPhasesStatusAndProgressOfEachMessage)
{
    load({{"5551234", "one"}, {"5551235", "two"}});
    EXPECT_EQ(send(), 0);
    std::vector<int> phases = reporter.phases();
    phases.erase(std::unique(phases.begin(), phases.end()), phases.end()); // repeats dropped
    EXPECT_EQ(phases, (std::vector<int> {1, 2, 3, 4}));
    // Greeting at 0, then 1 while a message waits for its replies and 2 once it is through.
    EXPECT_EQ(reporter.progress(), (std::vector<int> {0, 0, 1, 1, 1, 2, 3, 3, 3, 4}));
    const std::vector<std::string> statuses = reporter.statuses();
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.front(), "Connecting 127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(statuses[1], "Logging...");
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Packet 1: sending..."), statuses.end());
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Packet 1: waiting for reply..."),
              statuses.end());
    EXPECT_EQ(statuses.back(), "Disconnecting");
}

TEST_F(ExchangeTest, LogsEveryStepWithItsDumpLines)
{
    load({{"5551234", "hello"}});
    EXPECT_EQ(send(), 0);
    const std::string log = reporter.logText();
    for (const char* expected : {
             ",plover:LocalThread start tcp connect",
             ",plover:LocalThread starts fsm",
             ",plover:State starts",
             ",plover:Read=",
             "Write=15[PAGER 5551234<0d><0a>]",
             "State reply = Okay (220 Norvane test SNPP server ready<0d>)",
             "State next packet 0",
             "State SendPin (retry=0)",
             "State SendMessage (retry=0)",
             "State SendSend (retry=0)",
             "State next packet 1",
             "State disconnect",
             "Write=6[QUIT<0d><0a>]",
             ",plover:LocalThread fsm ends\r\n",
         }) {
        EXPECT_NE(log.find(expected), std::string::npos) << "missing: " << expected << "\n" << log;
    }
}

TEST_F(ExchangeTest, AnEmptyListGreetsAndSaysGoodbyeAtOnce)
{
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.lines(), (std::vector<std::string> {"QUIT"}));
}

TEST_F(ExchangeTest, PagerIdentifiersGoOutAsTheListReadThem)
{
    load({{"-42", "negative"}, {"abc", "no digits"}, {"  17xyz", "leading digits"}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.lines(),
              join({page("-42", "negative"),
                    page("0", "no digits"),
                    page("17", "leading digits"),
                    {"QUIT"}}));
}

TEST_F(ExchangeTest, ALongMessageGoesOutWholeOnOneLine)
{
    const std::string text(600, 'x');
    load({{"5551234", text}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.lines(), join({page("5551234", text), {"QUIT"}}));
    EXPECT_EQ(results(), (std::vector<int> {1}));
}

TEST_F(ExchangeTest, LineBreaksInAMessageCannotInjectCommands)
{
    load({{"5551234", "call me\r\nPAGER 999\r\nSEND\tnow\x7f!"}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.lines(), join({page("5551234", "call me  PAGER 999  SEND now !"), {"QUIT"}}));
    ASSERT_EQ(server.pages().size(), 1u);
    EXPECT_EQ(server.pages()[0].pager, "5551234");
}

TEST_F(ExchangeTest, RepliesEndingInLineFeedOnlyOrWithBlankLinesAreRead)
{
    server.greet("\r\n\n220 ready\n");
    server.answer("PAGE", "250 ok\n\r\n\r\n");
    load({{"5551234", "a"}, {"5551235", "b"}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.lines(), join({page("5551234", "a"), page("5551235", "b"), {"QUIT"}}));
    EXPECT_EQ(results(), (std::vector<int> {1, 1}));
}

TEST_F(ExchangeTest, TheReplyTimeoutComesFromTheSettingsStore)
{
    SettingsKey key(RootKey::CurrentUser, PloverKeys::key);
    ASSERT_TRUE(key.write(PloverKeys::replyTimeout, 150));
    settings = PloverSettings::load();
    EXPECT_EQ(settings.replyTimeoutMs, 150);
    server.silenceOn("PAGE");
    load({{"5551234", "a"}});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(send(), 202);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(ExchangeTest, EachSendConnectsAnewOverTheSameTransport)
{
    load({{"5551234", "a"}});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(server.connections(), 2);
    EXPECT_EQ(server.pages().size(), 2u);
}

} // namespace
