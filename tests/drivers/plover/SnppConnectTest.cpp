// The SNPP driver's connect phase: ports, services, refused and unknown hosts, the lookup that
// is cancelled or runs out of time, and the status texts they leave.
#include "FakeSystemCalls.h"
#include "FreePort.h"
#include "SnppFixture.h"

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class ConnectTest : public SnppFixture
{
protected:
    // Runs the session against host and port and gives the send's overall code.
    int connectTo(const std::string& host, const std::string& port)
    {
        SnppSession session(transport, list, reporter, settings);
        session.run(host, port);
        return reporter.lastError();
    }

    std::string lastStatus() const
    {
        const auto statuses = reporter.statuses();
        return statuses.empty() ? std::string() : statuses.back();
    }
};

// A connect that fails, and the status text it leaves.
struct FailureCase
{
    const char* name;
    const char* port; // "free" stands for a port nothing listens on
    int socketError;
    const char* status;
};

class ConnectFailureTest : public ConnectTest, public ::testing::WithParamInterface<FailureCase>
{ };

TEST_P(ConnectFailureTest, Gives222AndTheMatchingStatus)
{
    const FreePort freePort;
    const std::string port
        = std::string(GetParam().port) == "free" ? freePort.text() : GetParam().port;
    load({{"5551234", "a"}});
    EXPECT_EQ(connectTo("127.0.0.1", port), 222);
    EXPECT_EQ(lastStatus(), GetParam().status);
    EXPECT_EQ(results(), (std::vector<int> {5}));
    EXPECT_NE(reporter.logText().find("LocalThread connect failed errCode="
                                      + std::to_string(GetParam().socketError)),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ConnectFailureTest,
    ::testing::Values(FailureCase {"Refused", "free", 4, "Connection refused"},
                      // "0" and names are looked up as services; these are none.
                      FailureCase {"PortZero", "0", 2, "Connect failed (erc=2)"},
                      FailureCase {"NoSuchService", "nosuchservice", 2, "Connect failed (erc=2)"},
                      // A known service: snpp is port 444, where nothing listens here.
                      FailureCase {"ServiceName", "snpp", 4, "Connection refused"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ConnectTest, AHostThatIsNotFoundNamesItselfInTheStatus)
{
    FakeSystemCalls fake;
    EXPECT_EQ(connectTo("pager.invalid", "444"), 222);
    EXPECT_EQ(lastStatus(), "Server hostname (pager.invalid) not found");
}

TEST_F(ConnectTest, ALookupThatTakesTooLongGivesUpAfterTheLookupTimeout)
{
    FakeSystemCalls fake;
    fake.holdLookups();
    settings.lookupTimeoutMs = 100;
    const auto start = Clock::now();
    EXPECT_EQ(connectTo("slow.invalid", "444"), 222);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(lastStatus(), "Server hostname (slow.invalid) not found");
}

TEST_F(ConnectTest, CancelLookupStopsAPendingLookupAtOnce)
{
    FakeSystemCalls fake;
    fake.holdLookups();
    settings.lookupTimeoutMs = 60000;
    std::thread canceller([&] {
        EXPECT_TRUE(fake.waitForHeldLookups(1, 10000));
        transport.cancelLookup();
    });
    const auto start = Clock::now();
    EXPECT_EQ(connectTo("stuck.invalid", "444"), 222);
    canceller.join();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(30000));
    EXPECT_EQ(lastStatus(), "Server hostname (stuck.invalid) not found");
}

TEST_F(ConnectTest, CancelLookupWithoutALookupDoesNothing)
{
    transport.cancelLookup();
    load({{"5551234", "a"}});
    EXPECT_EQ(connectTo("127.0.0.1", std::to_string(server.port())), 0);
    EXPECT_EQ(results(), (std::vector<int> {1}));
}

TEST_F(ConnectTest, ANamedHostIsLookedUp)
{
    load({{"5551234", "a"}});
    EXPECT_EQ(connectTo("localhost", std::to_string(server.port())), 0);
    EXPECT_EQ(results(), (std::vector<int> {1}));
}

TEST_F(ConnectTest, TheFailureStaysReadableForTheFailPause)
{
    const FreePort freePort;
    settings.statusPauseMs = 300;
    const auto start = Clock::now();
    EXPECT_EQ(connectTo("127.0.0.1", freePort.text()), 222);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
}

TEST_F(ConnectTest, AHostCancelEndsTheFailPauseEarly)
{
    const FreePort freePort;
    settings.statusPauseMs = 60000;
    std::thread canceller([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        reporter.requestCancel();
    });
    const auto start = Clock::now();
    EXPECT_EQ(connectTo("127.0.0.1", freePort.text()), 222);
    canceller.join();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(30000));
}

// The status text for each code of the socket layer.
TEST(SnppTransportStatus, NamesEachConnectFailure)
{
    const std::vector<std::pair<int, std::string>> cases {
        {1, "Server hostname (pager.example) not found"},
        {2, "Connect failed (erc=2)"},
        {3, "Cannot create socket"},
        {4, "Connection refused"},
        {5, "Network unreachable"},
        {6, "Connection timeout"},
        {113, "Connect failed (erc=113)"},
    };
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(SnppTransport::failureStatus(code, "pager.example"), text) << code;
    }
}

} // namespace
