// The send pipeline through the real IXO/TAP plug-in, loaded from its built file and
// reaching the simulated paging terminal over a TCP line.
#include "SendFixture.h"
#include "TapTerminalSimulator.h"
#include "plugin/ControlLoader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;

class SendThroughKestrel : public SendFixture
{
protected:
    static constexpr const char* kestrelKey = "SOFTWARE\\Tessal\\Norvane\\Kestrel";

    SendThroughKestrel()
    {
        // Short waits, from the driver's own settings.
        SettingsKey key(RootKey::CurrentUser, kestrelKey);
        (void)key.setNumber("maxPromptTimeout", 1);
        (void)key.setNumber("maxReadTimeout", 1);
        (void)key.setNumber("goAheadDelayMs", 10);
        (void)key.setNumber("callWaitMs", 5000);
        (void)key.setNumber("updateWaitMs", 2000);
        (void)key.setNumber("threadWaitMs", 10000);
    }

    void registerDrivers() override
    {
        ControlLoader loader;
        ASSERT_TRUE(loader.registerServer(NV_KESTREL_PLUGIN_PATH)) << loader.lastErrorText();
    }

    // Line device 0: a TCP line to the port on 127.0.0.1.
    static void tcpLine(int port)
    {
        SettingsKey line(RootKey::CurrentUser, std::string(kestrelKey) + "\\Lines\\0");
        (void)line.setString("type", "tcp");
        (void)line.setString("host", "127.0.0.1");
        (void)line.setNumber("port", port);
    }
};

TEST_F(SendThroughKestrel, OneCallCarriesEveryPageForTheTerminal)
{
    TapTerminalSimulator terminal;
    ASSERT_TRUE(terminal.listen());
    tcpLine(terminal.port());
    ASSERT_TRUE(providers.add("Acme Paging", "555-1234"));
    addEntry("Pat", "Acme Paging/0042");
    setLogLevel(10);

    const SendOutcome outcome = send("555-1234/11;Pat", "Disk full on db1");
    ASSERT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.sent, 2);
    EXPECT_EQ(outcome.failed, 0);
    ASSERT_EQ(outcome.results.count(), 2U);
    EXPECT_EQ(outcome.results.rows()[0].recipient, "555-1234/11");
    EXPECT_EQ(outcome.results.rows()[0].text, "Sent successfully");
    EXPECT_EQ(outcome.results.rows()[1].recipient, "Pat");
    EXPECT_EQ(outcome.results.rows()[1].status, ResultStatus::ResultSent);

    ASSERT_TRUE(terminal.waitForEnd(5000));
    EXPECT_EQ(terminal.logins(), 1);
    const std::vector<TapReceivedMessage> received = terminal.messages();
    ASSERT_EQ(received.size(), 2U);
    EXPECT_EQ(received[0].pagerId, "11");
    EXPECT_EQ(received[1].pagerId, "42");
    EXPECT_EQ(received[1].text, "Disk full on db1");
    // The driver's progress caption names the provider it was given.
    EXPECT_TRUE(logged(10, "kestrel", "Provider name=IXO/TAP Paging (Acme Paging)"));
    EXPECT_TRUE(logged(4, "Local", "Message (Pat,1,0): Sent successfully"));
}

TEST_F(SendThroughKestrel, TheTerminalsAnswerBecomesEachRow)
{
    TapTerminalScript answers;
    answers.blockAnswers = {TapBlockAnswer::Ack, TapBlockAnswer::Rs};
    TapTerminalSimulator terminal(answers);
    ASSERT_TRUE(terminal.listen());
    tcpLine(terminal.port());
    const SendOutcome outcome = send("555-1234/1;555-1234/2", "hello");
    EXPECT_EQ(outcome.sent, 1);
    EXPECT_EQ(outcome.failed, 1);
    ASSERT_EQ(outcome.results.count(), 2U);
    EXPECT_EQ(outcome.results.rows()[0].status, ResultStatus::ResultSent);
    EXPECT_EQ(outcome.results.rows()[1].text, "Rejected by the remote server");
    EXPECT_EQ(outcome.results.rows()[1].status, ResultStatus::ResultRejected);
}

TEST_F(SendThroughKestrel, ATerminalThatCannotBeReachedFailsTheGroup)
{
    // A port with nothing listening: the call never connects.
    int port = 0;
    {
        TapTerminalSimulator closed;
        ASSERT_TRUE(closed.listen());
        port = closed.port();
    }
    tcpLine(port);
    const SendOutcome outcome = send("555-1234/1;555-1234/2", "hello");
    EXPECT_EQ(outcome.sent, 0);
    ASSERT_EQ(outcome.results.count(), 2U);
    for (const ResultRow& row : outcome.results.rows()) {
        EXPECT_EQ(row.text, "Cannot connect to server") << row.recipient;
        EXPECT_EQ(row.status, ResultStatus::ResultFailed);
    }
}

TEST_F(SendThroughKestrel, TheHostsCancelEndsAStalledExchangeAsUserAborted)
{
    TapTerminalScript answers;
    answers.promptAfterCr = -1; // never prompts: the driver keeps waking it
    SettingsKey key(RootKey::CurrentUser, kestrelKey);
    (void)key.setNumber("maxPromptTimeout", 30);
    TapTerminalSimulator terminal(answers);
    ASSERT_TRUE(terminal.listen());
    tcpLine(terminal.port());

    std::atomic<bool> cancel {false};
    ControlOptions options;
    options.isCancelled = [&cancel] { return cancel.load(); };
    sender.setDriverOptions(options);
    std::thread canceller([&] {
        std::this_thread::sleep_for(300ms);
        cancel = true;
    });
    const auto start = std::chrono::steady_clock::now();
    const SendOutcome outcome = send("555-1234/1", "hello");
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    ASSERT_EQ(outcome.results.count(), 1U);
    EXPECT_EQ(outcome.results.rows()[0].text, "User aborted");
    EXPECT_EQ(outcome.failed, 1);
}

} // namespace
