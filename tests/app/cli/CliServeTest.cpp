// norvane-cli serve as a service: started as a child process, relaying pages from real SNPP
// clients through the real SNPP plug-in to the SNPP test server, restarting its gateway on
// SIGHUP and stopping on SIGTERM.
#include "FakeDriverIds.h"
#include "FakeDriverRecord.h"
#include "FakeDriverScript.h"
#include "ServeFixture.h"
#include "SnppTestServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// A port held by a listening socket of the test, on every local address.
class PortHolder
{
public:
    explicit PortHolder(int port)
        : m_handle(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        m_listening = m_handle >= 0
            && ::bind(m_handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
            && ::listen(m_handle, 1) == 0;
    }
    ~PortHolder() { release(); }
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

    bool listening() const { return m_listening; }
    void release()
    {
        if (m_handle >= 0) {
            ::close(m_handle);
            m_handle = -1;
        }
    }

private:
    int m_handle;
    bool m_listening = false;
};

// Expects serve to end with exit code 0 within boundMs of the signal.
void expectCleanEnd(const std::optional<ChildProcess::Ending>& ending, const ChildProcess& serve)
{
    ASSERT_TRUE(ending.has_value()) << "serve did not end in time; stderr:\n" << serve.err();
    EXPECT_EQ(ending->signal, 0);
    EXPECT_EQ(ending->exitCode, 0) << serve.err();
}

class CliServe : public ServeTest
{
protected:
    // Runs the Net::SNPP client (snpp_client.pl) against serve's gateway.
    ProcessResult perlClient(const std::string& message, const std::vector<std::string>& pagers)
    {
        std::vector<std::string> argv {NORVANE_PERL_PATH, NORVANE_SNPP_CLIENT_SCRIPT, "127.0.0.1",
                                       gatewayPort.text(), message};
        argv.insert(argv.end(), pagers.begin(), pagers.end());
        return ProcessRunner::run(argv);
    }

    // Runs HylaFAX's sendpage against serve's gateway.
    ProcessResult sendpage(const std::string& pin, const std::string& message)
    {
        return ProcessRunner::run(
            {NORVANE_SENDPAGE_PATH, "-h", "127.0.0.1:" + gatewayPort.text(), "-p", pin, message},
            {{"HOME", registry.dir().path()}});
    }
};

TEST_F(CliServe, StartsGreetsClientsEchoesTheLogAndStopsOnSigterm)
{
    configureGateway(true, gatewayPort.text());
    ASSERT_TRUE(startServe({"--foreground"}));
    ASSERT_TRUE(waitListening(gatewayPort)) << logText() << serve.err();
    {
        GatewayClient client(gatewayPort.number());
        ASSERT_TRUE(client.connected());
        EXPECT_EQ(client.readLine(), "220 I'm ready");
        EXPECT_EQ(client.ask("QUIT"), "221 Okay, Good Bye!");
    }
    ASSERT_TRUE(waitForLog("SNPP:<127.0.0.1> closing connection"));
    // "Stopped" in the log below shows the stop did not run into its bound.
    expectCleanEnd(stopServe(SIGTERM), serve);

    EXPECT_EQ(logCount(",Serve:Started (pid="), 1);
    EXPECT_EQ(logLevelOf(",Serve:Started (pid="), 4);
    EXPECT_EQ(logCount(",Serve:SIGTERM: stopping (at most 15000 ms)"), 1);
    EXPECT_EQ(logCount(",Serve:Stopped\r\n"), 1);
    EXPECT_EQ(logCount("SNPP:Stop requested - ending thread"), 1);
    // --foreground: every log line is echoed on stderr, with its level's short name.
    const std::string err = serve.err();
    EXPECT_NE(err.find("Trans Serve: Started (pid="), std::string::npos) << err;
    EXPECT_NE(err.find("Trans Serve: Gateway listening on port " + gatewayPort.text()),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("Info SNPP: Connection accepted from host(127.0.0.1)"), std::string::npos)
        << err;
    EXPECT_NE(err.find("Trans Serve: Stopped\n"), std::string::npos) << err;
    EXPECT_TRUE(serve.out().empty()) << serve.out();
}

TEST_F(CliServe, SigintStopsItTooAndWithoutForegroundStderrStaysQuiet)
{
    configureGateway(true, gatewayPort.text());
    ASSERT_TRUE(startServe());
    ASSERT_TRUE(waitListening(gatewayPort)) << logText() << serve.err();
    expectCleanEnd(stopServe(SIGINT), serve);
    EXPECT_EQ(logCount(",Serve:SIGINT: stopping"), 1);
    EXPECT_EQ(logCount(",Serve:Stopped\r\n"), 1);
    // Only the databases' creation is said there, no log line.
    EXPECT_EQ(serve.err().find("Serve: "), std::string::npos) << serve.err();
    EXPECT_EQ(serve.err().find("SNPP: "), std::string::npos) << serve.err();
}

TEST_F(CliServe, NetSnppClientRelaysAPageThroughPloverToTheSnppServer)
{
    SnppTestServer snpp;
    ASSERT_TRUE(snpp.start());
    configureGateway(true, gatewayPort.text());
    ASSERT_TRUE(startServe());
    ASSERT_TRUE(waitListening(gatewayPort)) << logText() << serve.err();

    const std::string pager = snpp.address() + "!123";
    const ProcessResult result = perlClient("Disk full on db1", {pager});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out, "250 Send successful\n");
    ASSERT_EQ(snpp.pages().size(), 1U) << logText();
    EXPECT_EQ(snpp.pages()[0].pager, "123");
    EXPECT_EQ(snpp.pages()[0].message, "Disk full on db1");
    // Logged under the client's origin, quietly and without a history entry.
    EXPECT_TRUE(waitForLog("SNPP(127.0.0.1):Message (" + pager + ",3,0): Sent successfully"))
        << logText();
    EXPECT_TRUE(waitForLog("SNPP(127.0.0.1):sendToRecipients called (;" + pager
                           + ",Disk full on db1,1,1)"));
    EXPECT_EQ(registry.dir().read("data/msg.dat"), "");

    expectCleanEnd(stopServe(), serve);
}

TEST_F(CliServe, SendpageRelaysWithLevelTwoLogin)
{
    ASSERT_EQ(::access(NORVANE_SENDPAGE_PATH, X_OK), 0)
        << "sendpage is missing: install the Debian package hylafax-client";
    SnppTestServer snpp;
    ASSERT_TRUE(snpp.start());
    // sendpage gives a bare PIN: the gateway pages the address-book entry "pin4711".
    const ProcessResult added
        = runCli(registry, {"adb", "add", "pin4711", snpp.address() + "!4711"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    configureGateway(true, gatewayPort.text(), true);
    ASSERT_TRUE(startServe());
    ASSERT_TRUE(waitListening(gatewayPort)) << logText() << serve.err();

    const ProcessResult result = sendpage("4711", "Printer on fire");
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("destination pin 4711"), std::string::npos) << result.out;
    ASSERT_EQ(snpp.pages().size(), 1U) << logText();
    EXPECT_EQ(snpp.pages()[0].pager, "4711");
    EXPECT_EQ(snpp.pages()[0].message, "Printer on fire");
    EXPECT_EQ(logCount("SNPP:<127.0.0.1> cmd=Login accepted"), 1);
    EXPECT_EQ(logCount("SNPP:<127.0.0.1> cmd=Level accepted"), 1);
    EXPECT_TRUE(waitForLog("SNPP(127.0.0.1):Message (pin4711,3,0): Sent successfully"))
        << logText();

    expectCleanEnd(stopServe(), serve);
}

TEST_F(CliServe, SighupMakesTheGatewayReadItsSettingsAgain)
{
    // First only another loopback address may connect.
    configureGateway(true, gatewayPort.text(), false, {"127.0.0.2"});
    ASSERT_TRUE(startServe());
    ASSERT_TRUE(waitListening(gatewayPort)) << logText() << serve.err();
    {
        GatewayClient refused(gatewayPort.number());
        ASSERT_TRUE(refused.connected());
        EXPECT_EQ(refused.readLine(), "421 Your host is denied access");
    }

    // A new port and this host allowed: seen only after SIGHUP.
    const FreePort newPort;
    configureGateway(true, newPort.text(), true, {"127.0.0.1"});
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(GatewayClient(newPort.number()).connected());
    ASSERT_TRUE(serve.signal(SIGHUP));
    ASSERT_TRUE(waitListening(newPort)) << logText() << serve.err();
    EXPECT_EQ(logCount(",Serve:SIGHUP: restarting the gateway with fresh settings"), 1);
    EXPECT_EQ(logLevelOf(",Serve:SIGHUP: restarting"), 4);
    EXPECT_EQ(logCount("SNPP:Received signal (2)"), 1);
    {
        GatewayClient client(newPort.number());
        ASSERT_TRUE(client.connected());
        EXPECT_EQ(client.readLine(), "220 I'm ready");
        EXPECT_EQ(client.ask("LOGI user"), "250 Login accepted");
        EXPECT_EQ(client.ask("QUIT"), "221 Okay, Good Bye!");
    }
    EXPECT_FALSE(GatewayClient(gatewayPort.number()).connected());
    expectCleanEnd(stopServe(), serve);
}

TEST_F(CliServe, ForegroundFollowsTheLogToItsNewFileAfterSighup)
{
    configureGateway(true, gatewayPort.text());
    ASSERT_TRUE(startServe({"--foreground"}));
    ASSERT_TRUE(waitListening(gatewayPort)) << logText() << serve.err();

    SettingsKey paths(RootKey::CurrentUser, std::string(desk) + "\\Paths");
    ASSERT_TRUE(paths.setString("logFile", registry.dir().file("moved.dat")));
    ASSERT_TRUE(serve.signal(SIGHUP));
    const auto movedHas = [this](const std::string& text) {
        return registry.dir().read("moved.dat").find(text) != std::string::npos;
    };
    for (int tries = 0; tries < 500 && !movedHas("Serve:Gateway listening on port"); ++tries) {
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(movedHas("Serve:Gateway listening on port")) << serve.err();
    EXPECT_TRUE(movedHas("Serve:SIGHUP: restarting the gateway with fresh settings"));
    expectCleanEnd(stopServe(), serve);
    // The old file got none of serve's lines after the SIGHUP (the gateway's pass that was
    // running still wrote its "Received signal" there).
    EXPECT_EQ(logCount("Serve:SIGHUP"), 0);
    EXPECT_EQ(logCount("Serve:Stopped"), 0);
    // Both the old file's lines and the moved file's were echoed, the SIGHUP line included.
    const std::string err = serve.err();
    EXPECT_NE(err.find("Trans Serve: SIGHUP: restarting the gateway with fresh settings"),
              std::string::npos)
        << err;
    const std::string listening = "Trans Serve: Gateway listening on port " + gatewayPort.text();
    const std::size_t first = err.find(listening);
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_NE(err.find(listening, first + 1), std::string::npos) << err;
    EXPECT_NE(err.find("Trans Serve: Stopped"), std::string::npos) << err;
}

TEST_F(CliServe, APortInUseIsReportedTheSchedulerRunsOnAndSighupTriesAgain)
{
    PortHolder holder(gatewayPort.number());
    ASSERT_TRUE(holder.listening());
    configureGateway(true, gatewayPort.text());
    ASSERT_TRUE(startServe());
    ASSERT_TRUE(waitForLog("SNPP:Cannot open server port (erc=7)")) << logText();
    const auto said = [this] {
        return serve.err().find("the SNPP gateway cannot open port " + gatewayPort.text()
                                + " (erc=7, ")
            != std::string::npos;
    };
    for (int tries = 0; tries < 100 && !said(); ++tries) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(said()) << serve.err();
    EXPECT_NE(serve.err().find("the scheduler runs alone until SIGHUP restarts the gateway"),
              std::string::npos)
        << serve.err();
    EXPECT_TRUE(serve.running());

    holder.release();
    ASSERT_TRUE(serve.signal(SIGHUP));
    ASSERT_TRUE(waitListening(gatewayPort)) << logText() << serve.err();
    GatewayClient client(gatewayPort.number());
    EXPECT_EQ(client.readLine(), "220 I'm ready");
    client.close();
    expectCleanEnd(stopServe(), serve);
}

TEST_F(CliServe, ADisabledGatewayIsReportedAndTheSchedulerRunsAlone)
{
    configureGateway(false, gatewayPort.text());
    ASSERT_TRUE(startServe());
    ASSERT_TRUE(waitForLog(",Serve:Gateway disabled (SnppSrv enabled is 0)")) << logText();
    EXPECT_TRUE(serve.running());
    EXPECT_FALSE(GatewayClient(gatewayPort.number()).connected());
    expectCleanEnd(stopServe(), serve);
    EXPECT_NE(serve.err().find("the SNPP gateway is disabled"), std::string::npos) << serve.err();
}

TEST_F(CliServe, SigtermCancelsTheSendInProgress)
{
    SnppTestServer snpp;
    ASSERT_TRUE(snpp.start());
    snpp.silenceOn("SEND");
    SettingsKey plover(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\Plover");
    ASSERT_TRUE(plover.setNumber("replyTimeoutMs", 60000));
    configureGateway(true, gatewayPort.text());
    ASSERT_TRUE(startServe());
    ASSERT_TRUE(waitListening(gatewayPort)) << logText() << serve.err();

    const std::string pager = snpp.address() + "!5";
    GatewayClient client(gatewayPort.number());
    EXPECT_EQ(client.readLine(), "220 I'm ready");
    EXPECT_EQ(client.ask("PAGE " + pager), "250 ID accepted");
    EXPECT_EQ(client.ask("MESS never sent"), "250 Message accepted");
    ASSERT_TRUE(client.send("SEND\r\n"));
    // The plug-in waits for the server's answer to SEND, which does not come.
    const auto sentSend = [&snpp] {
        for (const std::string& line : snpp.lines()) {
            if (line == "SEND") {
                return true;
            }
        }
        return false;
    };
    for (int tries = 0; tries < 500 && !sentSend(); ++tries) {
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(sentSend()) << logText();

    const auto begin = std::chrono::steady_clock::now();
    expectCleanEnd(stopServe(SIGTERM, 12000), serve);
    // Well inside the 15-second bound: the send was cancelled, not waited out.
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 10s);
    EXPECT_EQ(client.readLine(), "550 Send failed");
    const std::string row = logLine("SNPP(127.0.0.1):Message (" + pager + ",");
    EXPECT_NE(row.find("): User aborted"), std::string::npos) << logText();
    EXPECT_EQ(logCount(",Serve:Stopped\r\n"), 1);
    EXPECT_TRUE(snpp.pages().empty());
}

// A driver deaf to the cancel (the fake plug-in registered as the SNPP driver).
class CliServeStuck : public CliServe
{
protected:
    void SetUp() override
    {
        CliServe::SetUp();
        ASSERT_TRUE(FakeDriverScript::registerAs(FakeDriverIds::ploverClass));
        script.setSendDelayMs(30000);
        script.setDeafToCancel(true);
    }

    // Sends a page through the gateway and waits until the driver's send has begun.
    void startStuckSend(GatewayClient& client)
    {
        EXPECT_EQ(client.readLine(), "220 I'm ready");
        EXPECT_EQ(client.ask("PAGE relay.example!7"), "250 ID accepted");
        EXPECT_EQ(client.ask("MESS stuck"), "250 Message accepted");
        ASSERT_TRUE(client.send("SEND\r\n"));
        const auto sending = [this] {
            // A local: a range-for over a member of a temporary would dangle.
            const FakeDriverRecord record(recordFile);
            for (const FakeCall& call : record.calls()) {
                if (call.member == "send") {
                    return true;
                }
            }
            return false;
        };
        for (int tries = 0; tries < 500 && !sending(); ++tries) {
            std::this_thread::sleep_for(20ms);
        }
        ASSERT_TRUE(sending()) << logText();
    }

    const std::string recordFile = registry.dir().file("fake.record");
    FakeDriverScript script {recordFile};
};

TEST_F(CliServeStuck, AStopEndsTheProcessAtItsBoundWhenASendDoesNotEnd)
{
    SettingsKey serveKey(RootKey::CurrentUser, std::string(desk) + "\\Serve");
    ASSERT_TRUE(serveKey.setNumber("stopWaitMs", 1000));
    configureGateway(true, gatewayPort.text());
    ASSERT_TRUE(startServe());
    ASSERT_TRUE(waitListening(gatewayPort)) << logText() << serve.err();
    GatewayClient client(gatewayPort.number());
    ASSERT_NO_FATAL_FAILURE(startStuckSend(client));

    const auto begin = std::chrono::steady_clock::now();
    expectCleanEnd(stopServe(SIGTERM, 10000), serve);
    const auto took = std::chrono::steady_clock::now() - begin;
    EXPECT_GE(took, 900ms);
    EXPECT_LT(took, 9s);
    EXPECT_EQ(logCount(",Serve:SIGTERM: stopping (at most 1000 ms)"), 1);
    const std::string exceeded = ",Serve:Stop: the gateway thread was still running 1000 ms after "
                                 "the stop request; ending without waiting for it";
    EXPECT_EQ(logCount(exceeded), 1) << logText();
    EXPECT_EQ(logLevelOf(exceeded), 2);
    EXPECT_EQ(logCount(",Serve:Stopped"), 0);
    EXPECT_NE(serve.err().find("the gateway thread did not end within 1000 ms"), std::string::npos)
        << serve.err();
}

TEST_F(CliServeStuck, ASecondSigtermEndsTheProcessAtOnce)
{
    configureGateway(true, gatewayPort.text());
    ASSERT_TRUE(startServe());
    ASSERT_TRUE(waitListening(gatewayPort)) << logText() << serve.err();
    GatewayClient client(gatewayPort.number());
    ASSERT_NO_FATAL_FAILURE(startStuckSend(client));

    ASSERT_TRUE(serve.signal(SIGTERM));
    ASSERT_TRUE(waitForLog(",Serve:SIGTERM: stopping (at most 15000 ms)"));
    EXPECT_TRUE(serve.running());
    const auto begin = std::chrono::steady_clock::now();
    const std::optional<ChildProcess::Ending> ending = stopServe(SIGTERM, 5000);
    ASSERT_TRUE(ending.has_value());
    // Well inside the 15-second bound the first SIGTERM set.
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 8s);
    EXPECT_EQ(ending->signal, SIGTERM);
    EXPECT_EQ(logCount(",Serve:SIGTERM again while stopping: ending at once"), 1) << logText();
}

} // namespace
