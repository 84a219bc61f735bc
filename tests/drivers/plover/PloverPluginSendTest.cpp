// Sends through the plover plug-in loaded from its built file, driven by dispatch number: the
// server address and port, the connect failures and their status texts, what goes over the
// wire for the server's answers, and the host's Cancel.
#include "FreePort.h"
#include "PloverPluginFixture.h"
#include "PluginNetCalls.h"

#include <algorithm>
#include <chrono>

using namespace PloverIds;

namespace {

using Clock = std::chrono::steady_clock;
using PloverSendTest = PloverPluginFixture;

// The plug-in's test build, whose system calls the test fakes.
class PloverFaultSendTest : public PloverPluginFixture
{
protected:
    PloverFaultSendTest()
        : PloverPluginFixture(NV_PLOVER_TEST_PLUGIN_PATH)
    { }
};

bool contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(PloverSendTest, ThreeAcceptedMessagesArePagedThenQuit)
{
    DispatchClient control = create();
    ASSERT_EQ(add(control, "5551234", "first"), 0);
    ASSERT_EQ(add(control, "5551235", "second"), 0);
    ASSERT_EQ(add(control, "5551236", "third"), 0);
    EXPECT_EQ(sendToServer(control), 0);
    EXPECT_EQ(server.received(),
              "PAGER 5551234\r\nMESSAGE first\r\nSEND\r\n"
              "PAGER 5551235\r\nMESSAGE second\r\nSEND\r\n"
              "PAGER 5551236\r\nMESSAGE third\r\nSEND\r\n"
              "QUIT\r\n");
    EXPECT_EQ(results(control), (std::vector<int> {1, 1, 1}));
    EXPECT_EQ(levelOf("Progress: 6 of 6"), 10);
    EXPECT_EQ(lastStatus(), "Disconnecting");
}

TEST_F(PloverSendTest, PagerIdentifiersKeepTheirSign)
{
    DispatchClient control = create();
    ASSERT_EQ(add(control, "-5", "negative"), 0);
    ASSERT_EQ(add(control, "abc", "no digits"), 0);
    EXPECT_EQ(sendToServer(control), 0);
    const std::vector<std::string> lines = server.lines();
    EXPECT_TRUE(contains(lines, "PAGER -5"));
    EXPECT_TRUE(contains(lines, "PAGER 0"));
    EXPECT_EQ(results(control), (std::vector<int> {1, 1}));
}

TEST_F(PloverSendTest, TheAddressOrTheSettingGivesThePort)
{
    const std::string port = std::to_string(server.port());
    const FreePort nothingListens;
    const struct
    {
        const char* name;
        std::string address;
        int setting; // the port setting; 0: nothing stored (444)
    } cases[] = {
        // The address's own port wins over the setting.
        {"host and port", "127.0.0.1:" + port, nothingListens.number()},
        {"no port", "127.0.0.1", server.port()},
        {"nothing after the colon", "127.0.0.1:", server.port()},
        {"runs of colons count as one", "127.0.0.1:::" + port, nothingListens.number()},
        {"the port ends at a blank", "127.0.0.1:" + port + " spare", nothingListens.number()},
        {"the port ends at a colon", "127.0.0.1:" + port + ":9", nothingListens.number()},
        {"a leading colon leaves only the host", ":127.0.0.1", server.port()},
    };
    int connections = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setNumber("port", c.setting);
        DispatchClient control = create();
        ASSERT_EQ(add(control, "5551234", c.name), 0);
        EXPECT_EQ(send(control, c.address), 0);
        EXPECT_EQ(resultCode(control, 0), 1);
        ++connections;
        EXPECT_TRUE(server.waitForFinished(connections, 5000));
        EXPECT_EQ(server.pages().back().message, c.name);
    }
    EXPECT_EQ(levelOf("Status: Connecting 127.0.0.1:" + port), 9);
}

TEST_F(PloverSendTest, AnAddressWithoutAHostFails216WithoutAThread)
{
    for (const char* address : {"", ":", ":::"}) {
        SCOPED_TRACE(address);
        DispatchClient control = create();
        ASSERT_EQ(add(control, "5551234", "a"), 0);
        EXPECT_EQ(send(control, address), 216);
        EXPECT_EQ(resultCode(control, 0), 5);
        EXPECT_EQ(levelOf("Send refused: the server address \"" + std::string(address)
                          + "\" names no host"),
                  2);
    }
    EXPECT_EQ(server.connections(), 0);
    EXPECT_EQ(log.indexOf("Send Start (instance=0)"), -1);
    EXPECT_EQ(log.indexOf("LocalThread starts"), -1);
    EXPECT_EQ(log.indexOf("Showing Modal Dialog"), -1);
}

TEST_F(PloverSendTest, ConnectFailuresGive222AndTheirStatus)
{
    const FreePort nothingListens;
    const struct
    {
        const char* name;
        std::string address;
        int socketError;
        const char* status;
    } cases[] = {
        {"refused", "127.0.0.1:" + nothingListens.text(), 4, "Connection refused"},
        // "0" and other texts are looked up as service names; these are none.
        {"port 0", "127.0.0.1:0", 2, "Connect failed (erc=2)"},
        {"no such service", "127.0.0.1:nosuchservice", 2, "Connect failed (erc=2)"},
        // A known service: snpp is port 444, where nothing listens here.
        {"service name", "127.0.0.1:snpp", 4, "Connection refused"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DispatchClient control = create();
        ASSERT_EQ(add(control, "5551234", "a"), 0);
        EXPECT_EQ(send(control, c.address), 222);
        EXPECT_EQ(resultCode(control, 0), 5);
        EXPECT_EQ(lastStatus(), c.status);
        EXPECT_EQ(levelOf("LocalThread connect failed errCode=" + std::to_string(c.socketError)),
                  8);
    }
    EXPECT_EQ(server.connections(), 0);
    EXPECT_EQ(levelOf("Send failed - Last Error bad (err=222)"), 8);
    EXPECT_EQ(levelOf("Modal dialog returns (1)"), 9);
}

TEST_F(PloverFaultSendTest, AnUnresolvableHostIsNamedInTheStatus)
{
    PluginNetCalls fake(pluginPath);
    DispatchClient control = create();
    ASSERT_EQ(add(control, "5551234", "a"), 0);
    EXPECT_EQ(send(control, "pager.invalid:" + std::to_string(server.port())), 222);
    EXPECT_EQ(resultCode(control, 0), 5);
    EXPECT_EQ(lastStatus(), "Server hostname (pager.invalid) not found");
    EXPECT_EQ(levelOf("LocalThread connect failed errCode=1"), 8);
    EXPECT_EQ(server.connections(), 0);
    // The plug-in asked the fake, not a name server.
    EXPECT_EQ(fake.lookedUp(), (std::vector<std::string> {"pager.invalid"}));
}

TEST_F(PloverSendTest, TheGreetingDecidesWhetherAnythingIsSent)
{
    const struct
    {
        const char* name;
        const char* greeting;
        std::vector<int> results;
        std::vector<std::string> lines;
    } cases[] = {
        {"a greeting beginning with 4 ends at once", "421 Too busy\r\n", {5, 5}, {"QUIT"}},
        // Nothing of a message is pending after an odd greeting: each message goes out once.
        {"another greeting is passed over",
         "300 Hello\r\n",
         {1, 1},
         {"PAGER 1", "MESSAGE a", "SEND", "PAGER 2", "MESSAGE b", "SEND", "QUIT"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SnppTestServer odd;
        ASSERT_TRUE(odd.start());
        odd.greet(c.greeting);
        DispatchClient control = create();
        ASSERT_EQ(add(control, "1", "a"), 0);
        ASSERT_EQ(add(control, "2", "b"), 0);
        EXPECT_EQ(send(control, odd.address()), 0);
        EXPECT_TRUE(odd.waitForFinished(1, 5000));
        EXPECT_EQ(results(control), c.results);
        EXPECT_EQ(odd.lines(), c.lines);
    }
}

TEST_F(PloverSendTest, TheServersAnswersSettleEachMessage)
{
    const struct
    {
        const char* name;
        const char* command;
        const char* reply;
        int times;
        std::vector<int> results;
        int pagerLines;
    } cases[] = {
        {"4xx to the first pager line ends the exchange", "PAGE", "421 Go away\r\n", 1, {3, 5}, 1},
        {"4xx to SEND rejects the message", "SEND", "421 Not now\r\n", 1, {3, 5}, 1},
        // A message is started again after RESE, at most three times.
        {"5xx to every pager line gives each message up",
         "PAGE",
         "550 No such pager\r\n",
         -1,
         {6, 6},
         8},
        {"one 5xx to MESSAGE is mended by a restart", "MESS", "554 Garbled\r\n", 1, {1, 1}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SnppTestServer cued;
        ASSERT_TRUE(cued.start());
        cued.answer(c.command, c.reply, c.times);
        DispatchClient control = create();
        ASSERT_EQ(add(control, "5551234", "a"), 0);
        ASSERT_EQ(add(control, "5551235", "b"), 0);
        EXPECT_EQ(send(control, cued.address()), 0);
        EXPECT_TRUE(cued.waitForFinished(1, 5000));
        EXPECT_EQ(results(control), c.results);
        const std::vector<std::string> lines = cued.lines();
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line) { return line.starts_with("PAGER"); }),
                  c.pagerLines);
        EXPECT_EQ(lines.back(), "QUIT");
    }
}

TEST_F(PloverSendTest, NoReplyFailsTheSendWith202)
{
    setNumber("replyTimeoutMs", 200);
    server.silenceOn("SEND");
    DispatchClient control = create();
    ASSERT_EQ(add(control, "5551234", "a"), 0);
    EXPECT_EQ(sendToServer(control), 202);
    EXPECT_EQ(resultCode(control, 0), 5);
    EXPECT_EQ(levelOf("State read timeout"), 2);
    EXPECT_EQ(levelOf("Send failed - Last Error bad (err=202)"), 8);
    EXPECT_EQ(server.lines().back(), "QUIT");
}

TEST_F(PloverSendTest, TheHostsCancelStopsAWaitForAReply)
{
    // The server holds its answer to SEND far beyond the test; the host cancels once it came.
    setNumber("replyTimeoutMs", 60000);
    server.silenceOn("SEND");
    DispatchClient control = create([this] { return contains(server.lines(), "SEND"); });
    ASSERT_EQ(add(control, "5551234", "a"), 0);
    ASSERT_EQ(add(control, "5551235", "b"), 0);
    const auto start = Clock::now();
    EXPECT_EQ(sendToServer(control), 213);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
    // Neither message was settled; a cancelled engine says no goodbye.
    EXPECT_EQ(results(control), (std::vector<int> {5, 5}));
    EXPECT_EQ(server.lines(), (std::vector<std::string> {"PAGER 5551234", "MESSAGE a", "SEND"}));
    EXPECT_EQ(levelOf("Dialog IDCANCEL received"), 9);
    EXPECT_EQ(levelOf("LocalThread fsm ends from USERABORT"), 8);
    EXPECT_EQ(levelOf("Modal dialog returns (1)"), 9);
    EXPECT_EQ(levelOf("Send failed - Last Error bad (err=213)"), 8);
}

TEST_F(PloverFaultSendTest, TheHostsCancelStopsAHostLookup)
{
    DispatchClient control;
    PluginNetCalls fake(pluginPath);
    fake.holdLookups();
    setNumber("lookupTimeoutMs", 60000);
    control = create([&fake] { return fake.heldLookups() > 0; });
    ASSERT_EQ(add(control, "5551234", "a"), 0);
    const auto start = Clock::now();
    // A cancelled lookup is the user's abort (213, "User aborted" to the host), as a cancel
    // once connected is, not a server that cannot be reached.
    EXPECT_EQ(send(control, "stuck.invalid"), 213);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(resultCode(control, 0), 5);
    EXPECT_EQ(lastStatus(), "User aborted");
    EXPECT_EQ(levelOf("Dialog IDCANCEL received"), 9);
    EXPECT_EQ(levelOf("LocalThread connect failed errCode=1"), 8);
    EXPECT_EQ(levelOf("LocalThread connect cancelled by the user"), 8);
}

} // namespace
