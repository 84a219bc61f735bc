#include "CliRun.h"
#include "CliSendChild.h"
#include "FakeDriverIds.h"
#include "FakeDriverRecord.h"
#include "FakeDriverScript.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A private store whose data files live in its folder, with the fake driver registered under
// both drivers' classes.
class CliSend : public testing::Test
{
protected:
    CliSend()
        : script(registry.dir().file("record.txt"))
    {
        std::filesystem::create_directories(registry.dir().file("data"));
        SettingsKey paths(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths");
        (void)paths.setString("home", registry.dir().path());
    }

    void SetUp() override
    {
        ASSERT_TRUE(FakeDriverScript::registerAs(FakeDriverIds::kestrelClass));
        ASSERT_TRUE(FakeDriverScript::registerAs(FakeDriverIds::ploverClass));
    }

    ProcessResult send(std::vector<std::string> arguments, const std::string& input = {})
    {
        arguments.insert(arguments.begin(), "send");
        return runCli(registry, arguments, input);
    }

    FakeDriverRecord record() const { return FakeDriverRecord(registry.dir().file("record.txt")); }
    std::string history() const { return registry.dir().read("data/msg.dat"); }

    ScopedRegistry registry;
    FakeDriverScript script;
};

TEST_F(CliSend, PrintsOneRowPerRecipientAndASummary)
{
    const ProcessResult all = send({"555-1234/11;host!7", "Disk full"});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out,
              "555-1234/11\tsent\tSent successfully\n"
              "host!7\tsent\tSent successfully\n"
              "Sent 2 of 2 pages, 0 failed.\n");

    script.setSendCodeFor("555-1234", 206);
    const ProcessResult some = send({"555-1234/11;nobody;777-999/3", "Disk full"});
    EXPECT_EQ(some.exitCode, 1);
    EXPECT_EQ(some.out,
              "nobody\tnot deliverable\tAddress Book Error: entry not found\n"
              "555-1234/11\tfailed\tRemote line busy. No message sent\n"
              "777-999/3\tsent\tSent successfully\n"
              "Sent 1 of 3 pages, 2 failed.\n");
    ASSERT_EQ(record().transmissions().size(), 4U);
    EXPECT_EQ(record().transmissions()[3].messages,
              (std::vector<std::pair<std::string, std::string>> {{"3", "Disk full"}}));
}

TEST_F(CliSend, RecipientsAsOptionsAndTheMessageFromStandardInput)
{
    const ProcessResult result
        = send({"--to", "555-1234/0042", "--to=host!1", "--json"}, "Line one\nLine two\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "{\"sent\": 2, \"failed\": 0, \"total\": 2, \"results\": ["
              "{\"recipient\": \"555-1234/0042\", \"status\": \"sent\", \"text\": \"Sent "
              "successfully\", \"helpCode\": 0, \"returnCode\": 0}, "
              "{\"recipient\": \"host!1\", \"status\": \"sent\", \"text\": \"Sent successfully\", "
              "\"helpCode\": 0, \"returnCode\": 0}]}\n");
    const FakeDriverRecord record = this->record();
    ASSERT_EQ(record.transmissions().size(), 2U);
    EXPECT_EQ(record.transmissions()[0].messages,
              (std::vector<std::pair<std::string, std::string>> {{"42", "Line one\nLine two"}}));

    const ProcessResult dash = send({"555-1234/5", "-"}, "piped");
    EXPECT_EQ(dash.exitCode, 0) << dash.err;
    EXPECT_EQ(this->record().transmissions().back().messages.front().second, "piped");
}

TEST_F(CliSend, JsonCarriesFailuresTheMessageAndEscapes)
{
    const ProcessResult result = send({"--json", "no\"body;;", "x"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
              "{\"sent\": 0, \"failed\": 1, \"total\": 1, \"message\": \"Error: No valid address "
              "specified\", \"results\": [{\"recipient\": \"no\\\"body\", \"status\": \"not "
              "deliverable\", \"text\": \"Address Book Error: entry not found\", \"helpCode\": "
              "196749, \"returnCode\": null}]}\n");
}

TEST_F(CliSend, NoAddressAtAllSaysSoAndFails)
{
    const ProcessResult result = send({";;", "hello"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "Sent 0 of 0 pages, 0 failed.\n");
    EXPECT_NE(result.err.find("norvane-cli: Error: No valid address specified\n"),
              std::string::npos)
        << result.err;
}

TEST_F(CliSend, RecordsTheHistoryUnlessToldNotTo)
{
    ASSERT_EQ(send({"555-1234/11", "first"}).exitCode, 0);
    ASSERT_EQ(send({"--no-history", "555-1234/11", "second"}).exitCode, 0);
    EXPECT_EQ(history(), "555-1234/11=first\r\n");
    const ProcessResult log = runCli(registry, {"log", "--level", "Trans"});
    EXPECT_NE(log.out.find("Local: Message (555-1234/11,1,0): Sent successfully"),
              std::string::npos)
        << log.out;
}

TEST_F(CliSend, SaysWhenTheHistoryCannotBeRecorded)
{
    // A read-only history is left as it is; the page still goes, and the user is told.
    const std::string path = registry.dir().write("data/msg.dat", "ops=old\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const ProcessResult result = send({"555-1234/11", "first"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "555-1234/11\tsent\tSent successfully\nSent 1 of 1 page, 0 failed.\n");
    EXPECT_NE(result.err.find("norvane-cli: warning: the send is not recorded in the message "
                              "history: cannot add to the message history "
                              + path + ": " + path + " is read-only"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(history(), "ops=old\r\n");
    const ProcessResult log = runCli(registry, {"log", "--level", "Errors"});
    EXPECT_NE(log.out.find("Cannot record the send in the history"), std::string::npos) << log.out;
}

TEST_F(CliSend, UsageErrorsExitWithTwo)
{
    const std::vector<std::vector<std::string>> cases {
        {},
        {"555-1234/11", ""},
        {"--to", "a;b", "hello"},
        {"--bogus", "555-1234/11", "hi"},
        {"555-1234/11", "hi", "extra"},
        {"--to"},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const ProcessResult result = send(arguments);
        EXPECT_EQ(result.exitCode, 2) << testing::PrintToString(arguments);
        EXPECT_NE(result.err.find("Usage: norvane-cli send"), std::string::npos) << result.err;
    }
    EXPECT_TRUE(record().transmissions().empty());
    const ProcessResult help = send({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: norvane-cli send", 0), 0U);
}

TEST_F(CliSend, CtrlCCancelsTheRunningTransmission)
{
    script.setSendDelayMs(20000);
    CliSendChild child({NORVANE_CLI_PATH, "send", "555-1234/11;777-999/2", "hello"},
                       registry.path(), registry.dir().file("out.txt"),
                       registry.dir().file("err.txt"), false);
    ASSERT_TRUE(child.started());
    const auto until = std::chrono::steady_clock::now() + 15s;
    while (record().transmissions().empty() && std::chrono::steady_clock::now() < until) {
        bool sending = false;
        const FakeDriverRecord current = record();
        for (const FakeCall& call : current.calls()) {
            sending = sending || call.member == "send";
        }
        if (sending) {
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    child.interrupt();
    EXPECT_EQ(child.wait(), 1);
    EXPECT_EQ(registry.dir().read("out.txt"),
              "555-1234/11\tfailed\tUser aborted\n"
              "777-999/2\tfailed\tUser aborted\n"
              "Sent 0 of 2 pages, 2 failed.\n");
    EXPECT_EQ(record().transmissions().size(), 1U);
}

TEST_F(CliSend, ShowsEachTransmissionOnATerminal)
{
    CliSendChild child({NORVANE_CLI_PATH, "send", "555-1234/11;555-1234/12;host!7", "hello"},
                       registry.path(), registry.dir().file("out.txt"), {}, true);
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.wait(), 0);
    const std::string& shown = child.terminalOutput();
    EXPECT_NE(shown.find("norvane-cli: sending 2 pages to 555-1234 by Ixo..."), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("norvane-cli: transmission to 555-1234 ended (code 0)"), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("norvane-cli: sending 1 page to host by Snpp..."), std::string::npos)
        << shown;

    // Not on a pipe.
    const ProcessResult piped = send({"555-1234/11", "hello"});
    EXPECT_EQ(piped.err.find("sending"), std::string::npos) << piped.err;
}

TEST_F(CliSend, VerboseShowsTransmissionsOnAPipeAndJsonRowsCarryTheReturnCode)
{
    script.setSendCodeFor("555-1234", 206);
    const ProcessResult result = send({"--verbose", "--json", "555-1234/11;host!7", "hello"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("norvane-cli: sending 1 page to 555-1234 by Ixo..."),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("norvane-cli: transmission to 555-1234 ended (code 206)"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.out.find("\"text\": \"Remote line busy. No message sent\", \"helpCode\": 0, "
                              "\"returnCode\": 206}"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\"helpCode\": 0, \"returnCode\": 0}"), std::string::npos)
        << result.out;
}

} // namespace
