// norvane-cli send through the real driver plug-ins, loaded from their built files.
#include "CliRun.h"
#include "CliSendChild.h"
#include "TapTerminalSimulator.h"
#include "plugin/ControlLoader.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr const char* kestrelKey = "SOFTWARE\\Tessal\\Norvane\\Kestrel";

class CliSendDrivers : public testing::Test
{
protected:
    CliSendDrivers()
    {
        std::filesystem::create_directories(registry.dir().file("data"));
        SettingsKey paths(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths");
        (void)paths.setString("home", registry.dir().path());
        SettingsKey kestrel(RootKey::CurrentUser, kestrelKey);
        (void)kestrel.setNumber("maxPromptTimeout", 1);
        (void)kestrel.setNumber("maxReadTimeout", 1);
        (void)kestrel.setNumber("goAheadDelayMs", 10);
        (void)kestrel.setNumber("callWaitMs", 5000);
        (void)kestrel.setNumber("updateWaitMs", 2000);
        (void)kestrel.setNumber("threadWaitMs", 10000);
    }

    void SetUp() override
    {
        ControlLoader loader;
        ASSERT_TRUE(loader.registerServer(NV_KESTREL_PLUGIN_PATH)) << loader.lastErrorText();
    }

    static void tcpLine(int port)
    {
        SettingsKey line(RootKey::CurrentUser, std::string(kestrelKey) + "\\Lines\\0");
        (void)line.setString("type", "tcp");
        (void)line.setString("host", "127.0.0.1");
        (void)line.setNumber("port", port);
    }

    static void setLogLevel(int level)
    {
        SettingsKey log(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Log");
        (void)log.setNumber("logLevel", level);
    }

    ScopedRegistry registry;
};

TEST_F(CliSendDrivers, SendsThroughKestrelAndShowsItsProgressOnATerminal)
{
    TapTerminalSimulator terminal;
    ASSERT_TRUE(terminal.listen());
    tcpLine(terminal.port());
    setLogLevel(9);
    CliSendChild child({NORVANE_CLI_PATH, "send", "555-1234/11;555-1234/0012", "Disk full"},
                       registry.path(), registry.dir().file("out.txt"), {}, true);
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.wait(), 0);
    EXPECT_EQ(registry.dir().read("out.txt"),
              "555-1234/11\tsent\tSent successfully\n"
              "555-1234/0012\tsent\tSent successfully\n"
              "Sent 2 of 2 pages, 0 failed.\n");
    const std::vector<TapReceivedMessage> received = terminal.messages();
    ASSERT_EQ(received.size(), 2U);
    EXPECT_EQ(received[1].pagerId, "12");
    const std::string& shown = child.terminalOutput();
    EXPECT_NE(shown.find("norvane-cli: sending 2 pages to 555-1234 by Ixo..."), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("  kestrel: Status: Dialing 555-1234"), std::string::npos) << shown;
    EXPECT_NE(shown.find("norvane-cli: transmission to 555-1234 ended (code 0)"), std::string::npos)
        << shown;
}

TEST_F(CliSendDrivers, CtrlCCancelsAKestrelCallInProgress)
{
    TapTerminalScript answers;
    answers.promptAfterCr = -1;
    SettingsKey kestrel(RootKey::CurrentUser, kestrelKey);
    (void)kestrel.setNumber("maxPromptTimeout", 30);
    setLogLevel(9);
    TapTerminalSimulator terminal(answers);
    ASSERT_TRUE(terminal.listen());
    tcpLine(terminal.port());
    CliSendChild child({NORVANE_CLI_PATH, "send", "555-1234/11", "hello"}, registry.path(),
                       registry.dir().file("out.txt"), registry.dir().file("err.txt"), false);
    ASSERT_TRUE(child.started());
    // Interrupt once the driver talks to the terminal (it waits for a prompt that never comes).
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (registry.dir().read("data/ndlog.dat").find("Thread starts FSM") == std::string::npos
           && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(10ms);
    }
    child.interrupt();
    EXPECT_EQ(child.wait(), 1);
    EXPECT_EQ(registry.dir().read("out.txt"),
              "555-1234/11\tfailed\tUser aborted\n"
              "Sent 0 of 1 page, 1 failed.\n");
}

TEST_F(CliSendDrivers, ATerminalNobodyAnswersIsReportedAndFails)
{
    int port = 0;
    {
        TapTerminalSimulator closed;
        ASSERT_TRUE(closed.listen());
        port = closed.port();
    }
    tcpLine(port);
    const ProcessResult result = runCli(registry, {"send", "555-1234/11", "hello"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out,
              "555-1234/11\tfailed\tCannot connect to server\n"
              "Sent 0 of 1 page, 1 failed.\n");
}

} // namespace
