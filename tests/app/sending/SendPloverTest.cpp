// The send pipeline through the real SNPP plug-in, loaded from its built file, against the
// SNPP test server on loopback; and both real drivers in one send.
#include "FreePort.h"
#include "SendFixture.h"
#include "SnppTestServer.h"
#include "TapTerminalSimulator.h"
#include "gateway/GatewaySettings.h"
#include "gateway/SnppServer.h"
#include "plugin/ControlLoader.h"
#include "sending/GatewaySendAdapter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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

TEST_F(SendThroughPlover, PagesTheServerAcknowledgedStaySentWhenALaterReplyIsLate)
{
    // 25 recipients go as a transmission of 20 and one of 5. The 20th SEND's reply comes after
    // the driver's 2 s: that transmission fails as a whole, yet 19 pages had been acknowledged.
    server.lateOn("SEND", 20, "250 Message Sent Successfully\r\n", 3000);
    const std::string host = server.address();
    std::string recipients;
    for (int pin = 1; pin <= 25; ++pin) {
        recipients += host + "!" + std::to_string(pin) + ";";
    }
    const SendOutcome outcome = send(recipients, "Disk full on db1");
    ASSERT_TRUE(outcome.ran);
    ASSERT_EQ(outcome.results.count(), 25U);
    for (std::size_t k = 0; k < 25; ++k) {
        const ResultRow& row = outcome.results.rows()[k];
        EXPECT_EQ(row.recipient, host + "!" + std::to_string(k + 1));
        if (k == 19) {
            EXPECT_EQ(row.text, "Read from communication port failed");
            EXPECT_EQ(row.status, ResultStatus::ResultFailed);
        } else {
            EXPECT_EQ(row.text, "Sent successfully") << "row " << k + 1;
            EXPECT_EQ(row.status, ResultStatus::ResultSent) << "row " << k + 1;
        }
    }
    EXPECT_EQ(outcome.sent, 24);
    EXPECT_EQ(outcome.failed, 1);
    EXPECT_EQ(server.pages().size(), 25U);
}

TEST_F(SendThroughPlover, AGatewayRelaysEachPageOnce)
{
    // The driver sends PAGE, MESS and SEND for each message; the gateway between it and the
    // server relays each SEND through a send pipeline of its own, as serve does.
    const FreePort gatewayPort;
    SettingsKey gatewaySettings(RootKey::CurrentUser, GatewaySettings::SnppSrv::key);
    (void)gatewaySettings.setBool("enabled", true);
    (void)gatewaySettings.setString("port", gatewayPort.text());
    SettingsKey hosts(RootKey::CurrentUser, GatewaySettings::Hosts::key);
    (void)hosts.setString("127.0.0.1", "");
    const std::string host = server.address();
    for (const char* pin : {"5", "6", "7"}) {
        addEntry(std::string("pin") + pin, host + "!" + pin);
    }
    Sender relay(&providers, &books, nullptr);
    GatewaySendAdapter adapter(relay);
    SnppServer gateway(adapter, &providers, &books);
    gateway.restart();
    for (int i = 0; i < 500 && gateway.listeningPort() != gatewayPort.number(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(gateway.listeningPort(), gatewayPort.number());

    const std::string viaGateway = "127.0.0.1:" + gatewayPort.text();
    const SendOutcome outcome
        = send(viaGateway + "!5;" + viaGateway + "!6;" + viaGateway + "!7", "Disk full on db1");
    EXPECT_EQ(outcome.sent, 3);
    EXPECT_EQ(outcome.failed, 0);
    gateway.requestShutdown();
    gateway.join();
    std::vector<std::string> paged;
    for (const SnppTestServer::Page& page : server.pages()) {
        paged.push_back(page.pager);
        EXPECT_EQ(page.message, "Disk full on db1");
    }
    EXPECT_EQ(paged, (std::vector<std::string> {"5", "6", "7"}));
}

} // namespace
