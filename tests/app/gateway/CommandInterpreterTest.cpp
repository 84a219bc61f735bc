// The command interpreter, table-driven without sockets, against the real address check over
// a simple address book and provider database on disk.
#include "gateway/CommandInterpreter.h"

#include "GatewayTestSupport.h"
#include "gateway/BookAddressJudge.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr const char* client = "127.0.0.1";

// The address book and providers every case sees.
void fill(GatewayWorld& world)
{
    world.addEntry("pin1234", "555-1234/1234");
    world.addEntry("pin0", "555-1234/1");
    world.addEntry("pinabc", "555-1234/2");
    world.addEntry("Alice", "pager.example!12");
    world.addEntry("pin77", "5551212");
    world.addProvider("Acme", "555-9999");
}

// Runs the lines through the interpreter: the replies as the client reads them, the last
// step's action and the state at the end.
struct LineRun
{
    std::string wire;
    GatewayAction action = GatewayAction::None;
    GatewayState state;
    std::vector<GatewayLogLine> log;
};

LineRun runLines(const CommandInterpreter& interpreter, GatewayState state,
                 const std::vector<std::string>& lines)
{
    LineRun run;
    for (const std::string& line : lines) {
        const GatewayStep step = interpreter.step(state, line);
        for (const GatewayReply& reply : step.replies) {
            run.wire += reply.wireText();
        }
        run.log.insert(run.log.end(), step.log.begin(), step.log.end());
        run.action = step.action;
        state = step.state;
    }
    run.state = state;
    return run;
}

struct LineCase
{
    std::string name;
    GatewayOptions options;
    GatewayState initial;
    std::vector<std::string> lines;
    std::string wire;
    GatewayState final;
    GatewayAction action = GatewayAction::None;
};

// Shown by ctest and gtest: the case's name.
void PrintTo(const LineCase& c, std::ostream* out)
{
    *out << c.name;
}

class Interpreting : public testing::TestWithParam<LineCase>
{ };

TEST_P(Interpreting, RepliesAndStateFollowTheCommands)
{
    const LineCase& c = GetParam();
    GatewayWorld world;
    fill(world);
    BookAddressJudge judge(&world.providers(), &world.book());
    const CommandInterpreter interpreter(client, c.options, judge);
    const LineRun run = runLines(interpreter, c.initial, c.lines);
    EXPECT_EQ(run.wire, c.wire);
    EXPECT_EQ(run.state.addressList, c.final.addressList);
    EXPECT_EQ(run.state.messageText, c.final.messageText);
    EXPECT_EQ(run.action, c.action);
}

std::string caseName(const testing::TestParamInfo<LineCase>& info)
{
    return info.param.name;
}

const GatewayOptions plain {};
const GatewayOptions adbOnly {true, false};
const GatewayOptions level2 {false, true};

GatewayState list(std::size_t length)
{
    return {";" + std::string(length - 1, 'x'), ""};
}

GatewayState withList(std::string addressList, std::string message = {})
{
    return {std::move(addressList), std::move(message)};
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Interpreting,
    testing::Values(
        LineCase {
            "PinEntryIsUsed", plain, {}, {"PAGE 1234"}, "250 ID accepted\n", withList(";pin1234")},
        LineCase {"WithoutPinEntryADigitStringIsAnalog",
                  plain,
                  {},
                  {"PAGE 4321"},
                  "550 Bad address (4)\n",
                  {}},
        LineCase {"ZeroIsNotLookedUp", plain, {}, {"PAGE 0"}, "550 Bad address (4)\n", {}},
        LineCase {"TextIsNotLookedUpAsPin", plain, {}, {"PAGE abc"}, "550 Bad address (3)\n", {}},
        LineCase {"EntryName", plain, {}, {"PAGE Alice"}, "250 ID accepted\n", withList(";Alice")},
        LineCase {"IxoAddress",
                  plain,
                  {},
                  {"page 555-1234/12"},
                  "250 ID accepted\n",
                  withList(";555-1234/12")},
        LineCase {"SnppAddress",
                  plain,
                  {},
                  {"PAGER host.example:444!7"},
                  "250 ID accepted\n",
                  withList(";host.example:444!7")},
        LineCase {"ProviderNameTranslates",
                  plain,
                  {},
                  {"PAGE Acme/12"},
                  "250 ID accepted\n",
                  withList(";Acme/12")},
        LineCase {"UnknownProviderIsMalformed",
                  plain,
                  {},
                  {"PAGE Nobody/12"},
                  "550 Bad address (2)\n",
                  {}},
        LineCase {
            "MissingPinIsMalformed", plain, {}, {"PAGE 555-1234/"}, "550 Bad address (2)\n", {}},
        LineCase {"LeadingBlanksStayInTheIdentifier",
                  plain,
                  {},
                  {"PAGE  1234"},
                  "550 Bad address (3)\n",
                  {}},
        LineCase {"NoArgumentChangesNothing",
                  plain,
                  withList(";Alice", "m"),
                  {"PAGE"},
                  "550 Bad address (2)\n",
                  withList(";Alice", "m")},
        LineCase {"SeparatorInsideAnIdentifierIsRefused",
                  plain,
                  {},
                  {"PAGE host!1;Alice"},
                  "550 Bad address (2)\n",
                  {}},
        LineCase {"AdbOnlyRefusesAnExplicitAddress",
                  adbOnly,
                  {},
                  {"PAGE 555-1234/12"},
                  "550 Address not allowed\n",
                  {}},
        LineCase {"AdbOnlyAcceptsEntriesAndPins",
                  adbOnly,
                  {},
                  {"PAGE 1234", "PAGE Alice"},
                  "250 ID accepted\n250 ID accepted\n",
                  withList(";pin1234;Alice")},
        LineCase {"AdbOnlyChecksTheAddressFirst",
                  adbOnly,
                  {},
                  {"PAGE 4321"},
                  "550 Bad address (4)\n",
                  {}},
        LineCase {"ListBelowTheLimitAccepts",
                  plain,
                  list(503),
                  {"PAGE h!1"},
                  "250 ID accepted\n",
                  withList(list(503).addressList + ";h!1")},
        LineCase {"ListAtTheLimitIsFull",
                  plain,
                  list(504),
                  {"PAGE h!1"},
                  "550 Address buffer full\n",
                  list(504)},
        LineCase {"LimitCountsBeforePinIsAdded",
                  plain,
                  list(502),
                  {"PAGE 1234"},
                  "250 ID accepted\n",
                  withList(list(502).addressList + ";pin1234")},
        LineCase {"LimitReachedByAPin",
                  plain,
                  list(503),
                  {"PAGE 1234"},
                  "550 Address buffer full\n",
                  list(503)},
        LineCase {"Message512IsAccepted",
                  plain,
                  {},
                  {"MESS " + std::string(512, 'm')},
                  "250 Message accepted\n",
                  withList("", std::string(512, 'm'))},
        LineCase {"Message513IsRefused",
                  plain,
                  withList("", "old"),
                  {"MESS " + std::string(513, 'm')},
                  "550 Message too long\n",
                  withList("", "old")},
        LineCase {"TabEndsTheMessage",
                  plain,
                  {},
                  {"MESS hello\tworld"},
                  "250 Message accepted\n",
                  withList("", "hello")},
        LineCase {"EightBitByteEndsTheMessage",
                  plain,
                  {},
                  {"MESS na\xefve"},
                  "250 Message accepted\n",
                  withList("", "na")},
        LineCase {"MessageIsReplaced",
                  plain,
                  {},
                  {"MESS one", "MESS two"},
                  "250 Message accepted\n250 Message accepted\n",
                  withList("", "two")},
        LineCase {"MessageWithoutArgumentChangesNothing",
                  plain,
                  withList("", "old"),
                  {"MESS"},
                  "550 Message missing\n",
                  withList("", "old")},
        LineCase {"EmptyMessageAfterABlank",
                  plain,
                  withList("", "old"),
                  {"MESS "},
                  "250 Message accepted\n",
                  {}},
        LineCase {"ResetClearsBoth",
                  plain,
                  withList(";Alice", "hi"),
                  {"RESET"},
                  "250 State resetted\n",
                  {}},
        LineCase {"HelpIsAJoke", plain, {}, {"HELPME"}, "218 Er... help? Are you kidding?\n", {}},
        LineCase {"OtherLinesAreNotUnderstood",
                  plain,
                  {},
                  {"XYZZY", "DATA", "QUI"},
                  "581 Wa-What?\n581 Wa-What?\n581 Wa-What?\n",
                  {}},
        LineCase {"LoginIsUnknownWithoutTheFlag",
                  plain,
                  {},
                  {"LOGI user pass", "LEVE 1"},
                  "581 Wa-What?\n581 Wa-What?\n",
                  {}},
        LineCase {"LoginAndLevelWithTheFlag",
                  level2,
                  {},
                  {"LOGI user pass", "LEVE 1"},
                  "250 Login accepted\n250 Level accepted\n",
                  {}},
        LineCase {"QuitClosesWithItsReply",
                  plain,
                  withList(";Alice"),
                  {"QUITTING"},
                  "221 Okay, Good Bye!\n",
                  withList(";Alice"),
                  GatewayAction::Close},
        LineCase {"SendAsksForTheSendWithoutAReplyYet",
                  plain,
                  {},
                  {"PAGE 1234", "MESS hi", "SENDNOW"},
                  "250 ID accepted\n250 Message accepted\n",
                  withList(";pin1234", "hi"),
                  GatewayAction::Send}),
    caseName);

class InterpreterTest : public testing::Test
{
protected:
    InterpreterTest() { fill(world); }

    GatewayWorld world;
    BookAddressJudge judge {&world.providers(), &world.book()};
    CommandInterpreter interpreter {client, plain, judge};
};

struct SendCase
{
    bool started;
    int sent;
    int failed;
    std::string wire;
    std::string log; // "" when the outcome writes no line
};

TEST_F(InterpreterTest, SendOutcomesGiveTheirRepliesAndLogLines)
{
    const std::vector<SendCase> cases = {
        {false, 0, 0, "550 Send failed\n", "<127.0.0.1> cmd=Send failed"},
        {true, 0, 0, "550 Send failed\n", "<127.0.0.1> cmd=Send - all msg failed"},
        {true, 0, 3, "550 Send failed\n", "<127.0.0.1> cmd=Send - all msg failed"},
        {true, 3, 0, "250 Send successful\n", ""},
        {true, 2, 1, "250 Send completed - succ=2, failed=1\n",
         "<127.0.0.1> cmd=Send - succ=2 failed=1"},
    };
    const GatewayState state = withList(";pin1234;Alice", "hi");
    for (const SendCase& c : cases) {
        GatewaySendCounts counts;
        counts.sent = c.sent;
        counts.failed = c.failed;
        const GatewayStep step = interpreter.sendDone(state, c.started, counts);
        ASSERT_EQ(step.replies.size(), 1U);
        EXPECT_EQ(step.replies[0].wireText(), c.wire);
        if (c.log.empty()) {
            EXPECT_TRUE(step.log.empty());
        } else {
            EXPECT_EQ(step.log, (std::vector<GatewayLogLine> {{11, c.log}}));
        }
        // SEND clears the list and the message, whatever the outcome.
        EXPECT_EQ(step.state, GatewayState());
        EXPECT_EQ(step.action, GatewayAction::None);
    }
}

TEST_F(InterpreterTest, LostConnectionRepliesWithThePartialLineAndCloses)
{
    const GatewayStep silent = interpreter.lost({}, "");
    ASSERT_EQ(silent.replies.size(), 2U);
    EXPECT_EQ(silent.replies[0].wireText() + silent.replies[1].wireText(),
              "400 Read timeout  ()\n221 Lost connection. Bye!\n");
    EXPECT_EQ(silent.action, GatewayAction::Close);
    const GatewayStep partial = interpreter.lost({}, "PAGE 12");
    EXPECT_EQ(partial.replies[0].wireText(), "400 Read timeout  (PAGE 12)\n");
}

TEST_F(InterpreterTest, GreetingAndOriginTag)
{
    const GatewayStep greeting = interpreter.greeting({});
    ASSERT_EQ(greeting.replies.size(), 1U);
    EXPECT_EQ(greeting.replies[0].wireText(), "220 I'm ready\n");
    EXPECT_EQ(interpreter.originTag(), "SNPP(127.0.0.1)");
}

TEST_F(InterpreterTest, EveryCommandLogsAtLevel11WithTheClientAddress)
{
    const CommandInterpreter strict(client, adbOnly, judge);
    LineRun run = runLines(strict, list(506),
                           {"PAGE 1", "RESE", "PAGE 1234", "PAGE 4321", "PAGE 555-1234/12",
                            "MESS hi", "MESS " + std::string(513, 'x'), "PAGE"});
    const std::vector<GatewayLogLine> expected = {
        {11, "<127.0.0.1> cmd=AddPager (1), rejected(full)"},
        {11, "<127.0.0.1> cmd=RESET"},
        {11, "<127.0.0.1> cmd=AddPager (1234) accepted"},
        {11, "<127.0.0.1> cmd=AddPager (4321), invalid"},
        {11, "<127.0.0.1> cmd=AddPager (555-1234/12), rejected(not in adb)"},
        {11, "<127.0.0.1> cmd=SetMsg (hi) accepted"},
        {11, "<127.0.0.1> cmd=SetMsg (len=513), too long"},
        {11, "<127.0.0.1> cmd=AddPager, rejected(no id)"},
    };
    EXPECT_EQ(run.log, expected);
    // The invalid line names the address checked, which for a pin entry is the entry.
    run = runLines(interpreter, {}, {"PAGE 77"});
    EXPECT_EQ(run.wire, "550 Bad address (4)\n");
    EXPECT_EQ(run.log,
              (std::vector<GatewayLogLine> {{11, "<127.0.0.1> cmd=AddPager (pin77), invalid"}}));
}

TEST_F(InterpreterTest, TheLongestLinesKeepTheListAndMessageWithinTheirBuffers)
{
    GatewayState state;
    const std::string longest(1018, '7');
    for (int i = 0; i < 20; ++i) {
        state = interpreter.step(state, "PAGE " + longest).state;
        state = interpreter.step(state, "PAGE h!" + std::to_string(i)).state;
        state = interpreter.step(state, "MESS " + longest).state;
    }
    EXPECT_LE(state.addressList.size(), GatewayState::maxAddressList);
    EXPECT_LE(state.messageText.size(), GatewayState::maxMessage);
}

} // namespace
