// The send pipeline through the real SNPP plug-in, loaded from its built file, against the
// SNPP test server on loopback; and both real drivers in one send.
#include "FreePort.h"
#include "SendFixture.h"
#include "SnppTestServer.h"
#include "TapTerminalSimulator.h"
#include "plugin/ControlLoader.h"

#include <gtest/gtest.h>

namespace {

class SendThroughPlover : public SendFixture
{
protected:
    static constexpr const char* ploverKey = "SOFTWARE\\Tessal\\Norvane\\Plover";
    static constexpr const char* kestrelKey = "SOFTWARE\\Tessal\\Norvane\\Kestrel";

    SendThroughPlover()
    {
        SettingsKey plover(RootKey::CurrentUser, ploverKey);
        (void)plover.setNumber("replyTimeoutMs", 2000);
        (void)plover.setNumber("lookupTimeoutMs", 2000);
        (void)plover.setNumber("threadWaitMs", 5000);
        (void)plover.setNumber("updateWaitMs", 2000);
        SettingsKey kestrel(RootKey::CurrentUser, kestrelKey);
        (void)kestrel.setNumber("maxPromptTimeout", 1);
        (void)kestrel.setNumber("maxReadTimeout", 1);
        (void)kestrel.setNumber("goAheadDelayMs", 10);
        (void)kestrel.setNumber("callWaitMs", 5000);
    }

    void registerDrivers() override
    {
        ControlLoader loader;
        ASSERT_TRUE(loader.registerServer(NV_PLOVER_PLUGIN_PATH)) << loader.lastErrorText();
        ASSERT_TRUE(loader.registerServer(NV_KESTREL_PLUGIN_PATH)) << loader.lastErrorText();
    }

    void SetUp() override
    {
        SendFixture::SetUp();
        ASSERT_TRUE(server.start());
    }

    SnppTestServer server;
};

TEST_F(SendThroughPlover, OneConnectionCarriesEveryPageForTheServer)
{
    const std::string host = server.address(); // 127.0.0.1:port
    const SendOutcome outcome = send(host + "!7;" + host + "!0042", "Disk full on db1");
    ASSERT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.sent, 2);
    EXPECT_EQ(outcome.failed, 0);
    ASSERT_TRUE(server.waitForFinished(1, 5000));
    EXPECT_EQ(server.connections(), 1);
    const std::vector<SnppTestServer::Page> pages = server.pages();
    ASSERT_EQ(pages.size(), 2U);
    EXPECT_EQ(pages[0].pager, "7");
    EXPECT_EQ(pages[1].pager, "42");
    EXPECT_EQ(pages[1].message, "Disk full on db1");
    ASSERT_EQ(outcome.results.count(), 2U);
    EXPECT_EQ(outcome.results.rows()[1].recipient, host + "!0042");
    EXPECT_EQ(outcome.results.rows()[1].text, "Sent successfully");
}

TEST_F(SendThroughPlover, BothDriversInOneSend)
{
    TapTerminalSimulator terminal;
    ASSERT_TRUE(terminal.listen());
    SettingsKey line(RootKey::CurrentUser, std::string(kestrelKey) + "\\Lines\\0");
    (void)line.setString("type", "tcp");
    (void)line.setString("host", "127.0.0.1");
    (void)line.setNumber("port", terminal.port());

    const std::string host = server.address();
    const SendOutcome outcome = send(host + "!1;555-1234/11;5551234;555-1234/12", "hello");
    EXPECT_EQ(outcome.sent, 3);
    EXPECT_EQ(outcome.failed, 1);
    std::vector<std::string> order;
    for (const ResultRow& row : outcome.results.rows()) {
        order.push_back(row.recipient + " " + row.text);
    }
    EXPECT_EQ(
        order,
        (std::vector<std::string> {"555-1234/11 Sent successfully", "555-1234/12 Sent successfully",
                                   "5551234 Cannot driver Analog (Driver not found).",
                                   host + "!1 Sent successfully"}));
    EXPECT_EQ(terminal.messages().size(), 2U);
    EXPECT_EQ(server.pages().size(), 1U);
}

TEST_F(SendThroughPlover, AServerNobodyRunsFailsAsCannotConnect)
{
    const FreePort nothingListens;
    const SendOutcome outcome = send("127.0.0.1:" + nothingListens.text() + "!5", "hello");
    EXPECT_EQ(outcome.sent, 0);
    EXPECT_EQ(outcome.failed, 1);
    ASSERT_EQ(outcome.results.count(), 1U);
    EXPECT_EQ(outcome.results.rows()[0].text, "Cannot connect to server");
    EXPECT_EQ(outcome.results.rows()[0].status, ResultStatus::ResultFailed);
}

TEST_F(SendThroughPlover, TheServersRefusalOfAPageBecomesItsRow)
{
    // The driver tries a refused pager four times before it gives the message up.
    server.answer("PAGE", "550 Error, invalid pager ID\r\n", 4);
    const std::string host = server.address();
    const SendOutcome outcome = send(host + "!1;" + host + "!2", "hello");
    EXPECT_EQ(outcome.sent, 1);
    EXPECT_EQ(outcome.failed, 1);
    ASSERT_EQ(outcome.results.count(), 2U);
    EXPECT_EQ(outcome.results.rows()[0].text, "Aborted due to transmission error");
    EXPECT_EQ(outcome.results.rows()[0].status, ResultStatus::ResultFailed);
    EXPECT_EQ(outcome.results.rows()[1].status, ResultStatus::ResultSent);
    EXPECT_EQ(server.pages().size(), 1U);
}

} // namespace
