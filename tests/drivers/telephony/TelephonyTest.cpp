#include "telephony/Telephony.h"

#include "FakeModem.h"
#include "LineTestSupport.h"

#include <gtest/gtest.h>

namespace {

class TelephonyTest : public testing::Test, public LineFixtureBase
{ };

TEST_F(TelephonyTest, WithoutSettingsThereAreNoDevicesAndNoLine)
{
    Telephony telephony;
    EXPECT_EQ(telephony.deviceCount(), 0);
    LineDeviceInfo info;
    EXPECT_FALSE(telephony.enumerate(0, info));
    EXPECT_EQ(telephony.open(Telephony::lineMapper, log, "kestrel"), nullptr);
    EXPECT_EQ(telephony.lastError(), 7);
    EXPECT_EQ(telephony.open(0, log, "kestrel"), nullptr);
    EXPECT_EQ(telephony.lastError(), 7);
}

TEST_F(TelephonyTest, DevicesAreNumberedInKeyOrderAndEnumerated)
{
    FakeModem modem;
    ASSERT_TRUE(modem.start()) << modem.errorText();
    // Written out of order, and with a key name that is not a number.
    writeLine("10",
              {{"type", std::string("tcp")},
               {"host", std::string("127.0.0.1")},
               {"port", 7001},
               {"name", std::string("Terminal")}});
    writeModemLine("2", modem.devicePath(), {{"name", std::string("Desk modem")}, {"voice", 1}});
    writeLine("spare",
              {{"type", std::string("modem")}, {"device", std::string("/nonexistent/tty")}});
    writeLine("3", {{"type", std::string("isdn")}});
    writeLine("4", {{"type", std::string("tcp")}, {"host", std::string("127.0.0.1")}});
    writeLine("5", {{"type", std::string("modem")}});

    Telephony telephony;
    ASSERT_EQ(telephony.deviceCount(), 6);

    struct Expected
    {
        bool enumerates;
        std::string name, kind, target;
        bool data, voice;
        std::string problem;
    };
    const std::vector<Expected> expected {
        {true, "Desk modem", "modem", modem.devicePath(), true, true, ""},
        {false, "", "", "", false, false, "unknown type \"isdn\""},
        {false, "", "", "", false, false, "no valid port"},
        {false, "", "", "", false, false, "names no serial device"},
        {true, "Terminal", "tcp", "127.0.0.1:7001", true, false, ""},
        {true, "Modem on /nonexistent/tty", "modem", "/nonexistent/tty", false, false, ""},
    };
    for (std::uint32_t device = 0; device < expected.size(); ++device) {
        SCOPED_TRACE("device " + std::to_string(device));
        const Expected& want = expected[device];
        LineDeviceInfo info;
        ASSERT_EQ(telephony.enumerate(device, info), want.enumerates);
        const std::string problem = telephony.problem(device);
        if (want.enumerates) {
            EXPECT_EQ(problem, "");
            EXPECT_EQ(info.name, want.name);
            EXPECT_EQ(info.kind, want.kind);
            EXPECT_EQ(info.target, want.target);
            EXPECT_EQ(info.supportsData, want.data);
            EXPECT_EQ(info.supportsVoice, want.voice);
        } else {
            EXPECT_NE(problem.find(want.problem), std::string::npos) << problem;
            EXPECT_EQ(telephony.open(device, log, "kestrel"), nullptr);
            EXPECT_EQ(telephony.lastError(), 7);
        }
    }
    LineDeviceInfo info;
    EXPECT_FALSE(telephony.enumerate(6, info));
    EXPECT_NE(telephony.problem(6).find("no line device 6"), std::string::npos);
}

TEST_F(TelephonyTest, LineMapperPicksTheFirstDeviceThatCanMakeADataCall)
{
    FakeModem modem;
    ASSERT_TRUE(modem.start()) << modem.errorText();
    writeModemLine("0", "/nonexistent/ttyUSB7");
    writeLine("1", {{"type", std::string("isdn")}});
    writeModemLine("2", modem.devicePath());
    writeModemLine("3", "/nonexistent/ttyUSB8");
    modem.setGuardTime(std::chrono::milliseconds(50));

    Telephony telephony;
    std::unique_ptr<LineDevice> line = telephony.open(Telephony::lineMapper, log, "kestrel");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(telephony.lastError(), 0);
    // The line it gave dials on device 2, the fake modem.
    RecordingObserver observer;
    ASSERT_TRUE(line->dial(" 5550100", observer)) << line->lastError();
    ASSERT_TRUE(observer.waitForEvent());
    EXPECT_EQ(modem.dialled(), std::vector<std::string> {" 5550100"});
    line->hangUp();
}

TEST_F(TelephonyTest, LineMapperFindsNothingWhenNoDeviceCanMakeADataCall)
{
    writeModemLine("0", "/nonexistent/ttyUSB7");
    writeLine("1", {{"type", std::string("tcp")}});
    Telephony telephony;
    EXPECT_EQ(telephony.open(Telephony::lineMapper, log, "kestrel"), nullptr);
    EXPECT_EQ(telephony.lastError(), 7);
    EXPECT_NE(logText().find("none of the 2 line devices can make a data call"), std::string::npos);
}

TEST_F(TelephonyTest, TranslatePutsTheLocalAccessCodeAndABlankBeforeTheNumber)
{
    {
        Telephony telephony;
        EXPECT_EQ(telephony.translate("5551234"), " 5551234");
        EXPECT_EQ(telephony.translate(""), "");
    }
    writeAccessCode("9,");
    Telephony telephony;
    EXPECT_EQ(telephony.translate("5551234"), "9, 5551234");
    EXPECT_EQ(telephony.translate(""), "");
}

// The translated number reaches the modem after the dial prefix, blank included: Hayes
// modems skip blanks in dial strings.
TEST_F(TelephonyTest, TheModemReceivesTheTranslatedNumberAfterTheDialPrefix)
{
    struct Case
    {
        std::string accessCode;
        std::string dialPrefix;
        std::string command;
        std::string dialled;
    };
    const std::vector<Case> cases {
        {"", "ATDT", "ATDT 5551234", " 5551234"},
        {"9", "ATDT", "ATDT9 5551234", "9 5551234"},
        {"9", "ATX3DP", "ATX3DP9 5551234", "9 5551234"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.command);
        FakeModem modem;
        ASSERT_TRUE(modem.start()) << modem.errorText();
        modem.setGuardTime(std::chrono::milliseconds(50));
        writeModemLine("0", modem.devicePath(), {{"dialPrefix", test.dialPrefix}});
        writeAccessCode(test.accessCode);
        Telephony telephony;
        std::unique_ptr<LineDevice> line = telephony.open(0, log, "kestrel");
        ASSERT_NE(line, nullptr);
        RecordingObserver observer;
        ASSERT_TRUE(line->dial(telephony.translate("5551234"), observer));
        ASSERT_TRUE(observer.waitForEvent());
        const std::vector<std::string> commands = modem.commands();
        ASSERT_EQ(commands.size(), 3u);
        EXPECT_EQ(commands[0], "ATZ");
        EXPECT_EQ(commands[1], "ATE0V1Q0");
        EXPECT_EQ(commands[2], test.command);
        EXPECT_EQ(modem.dialled(), std::vector<std::string> {test.dialled});
        line->hangUp();
    }
}

} // namespace
