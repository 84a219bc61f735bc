#include "CliRun.h"
#include "FakeModem.h"
#include "LineTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(CliLines, ListsTheConfiguredDevices)
{
    ScopedRegistry registry;
    FakeModem modem;
    ASSERT_TRUE(modem.start()) << modem.errorText();
    writeModemLine("0", modem.devicePath(), {{"name", std::string("Desk modem")}});
    writeLine("1",
              {{"type", std::string("tcp")},
               {"host", std::string("127.0.0.1")},
               {"port", 7001},
               {"voice", 1}});
    writeModemLine("2", "/nonexistent/ttyUSB0");
    writeLine("3", {{"type", std::string("tcp")}});

    const ProcessResult result = runCli(registry, {"lines"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    // Columns are as wide as their widest entry, two blanks apart.
    const std::string device = modem.devicePath();
    const std::string expected = "#  Name" + std::string(28, ' ') + "Kind   Target"
        + std::string(16, ' ') + "Data  Voice\n" + "0  Desk modem" + std::string(22, ' ')
        + "modem  " + device + std::string(22 - device.size(), ' ') + "yes   no\n";
    EXPECT_EQ(result.out.substr(0, expected.size()), expected) << result.out;
    EXPECT_NE(result.out.find(
                  "1  TAP terminal at 127.0.0.1:7001  tcp    127.0.0.1:7001        yes   yes\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("2  Modem on /nonexistent/ttyUSB0"), std::string::npos);
    EXPECT_NE(result.out.find("/nonexistent/ttyUSB0  no    no\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("3  Unknown device"), std::string::npos);
    EXPECT_NE(result.out.find("(line device 3 (Lines\\3) names no host)"), std::string::npos)
        << result.out;
}

TEST(CliLines, SaysSoWhenNothingIsConfigured)
{
    ScopedRegistry registry;
    const ProcessResult result = runCli(registry, {"lines"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("No line devices are configured"), std::string::npos);
}

TEST(CliLines, HelpAndUsage)
{
    ScopedRegistry registry;
    ProcessResult result = runCli(registry, {"lines", "--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("Usage: norvane-cli lines"), std::string::npos);
    result = runCli(registry, {"lines", "--bogus"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("unknown option --bogus"), std::string::npos);
    result = runCli(registry, {"lines", "extra"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("unexpected argument \"extra\""), std::string::npos);
    result = runCli(registry, {"--help"});
    EXPECT_NE(result.out.find("lines     list the telephony line devices"), std::string::npos);
}

} // namespace
