#include "telephony/ModemLine.h"

#include "LineTestSupport.h"
#include "ModemLineFixture.h"
#include "telephony/Telephony.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

class ModemLineTest : public ModemLineFixture
{
protected:
    // A line on the fake modem (device 0), with extra settings.
    std::unique_ptr<LineDevice> openLine(std::vector<LineValue> extra = {})
    {
        writeModemLine("0", modem.devicePath(), std::move(extra));
        Telephony telephony;
        return telephony.open(0, log, "kestrel");
    }

    RecordingObserver observer;
};

struct ResultCase
{
    FakeModem::DialResult result;
    CallEvent event;
    int detail;
};

class ModemResults : public ModemLineTest, public testing::WithParamInterface<ResultCase>
{ };

TEST_P(ModemResults, EachResultCodeBecomesItsCallEvent)
{
    modem.setDialResult(GetParam().result, 20ms);
    std::unique_ptr<LineDevice> line = openLine();
    ASSERT_NE(line, nullptr);
    ASSERT_TRUE(line->dial(" 5551234", observer));
    const auto event = observer.waitForEvent();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->first, GetParam().event);
    EXPECT_EQ(event->second, GetParam().detail);
    // Only a connected call hands out a link.
    EXPECT_EQ(line->link() != nullptr, GetParam().event == CallEvent::Connected);
    line->hangUp();
    EXPECT_EQ(observer.events().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    ResultCodes, ModemResults,
    testing::Values(ResultCase {FakeModem::DialResult::Connect, CallEvent::Connected, 0},
                    ResultCase {FakeModem::DialResult::Busy, CallEvent::Busy, 0},
                    ResultCase {FakeModem::DialResult::NoCarrier, CallEvent::Disconnected, 0},
                    ResultCase {FakeModem::DialResult::NoAnswer, CallEvent::Disconnected, 0},
                    ResultCase {FakeModem::DialResult::NoDialtone, CallEvent::CallUnavailable, 0},
                    ResultCase {FakeModem::DialResult::Error, CallEvent::OtherError,
                                static_cast<int>(ModemFault::ErrorReply)}));

TEST(ModemReplies, AnswerLinesAreClassifiedByTheirFirstWords)
{
    const std::vector<std::pair<std::string, ModemReply>> cases {
        {"OK", ModemReply::Ok},
        {"CONNECT", ModemReply::Connect},
        {"CONNECT 1200/ARQ", ModemReply::Connect},
        {"CONNECT/REL", ModemReply::Connect},
        {"NO DIAL TONE", ModemReply::NoDialtone},
        {"DELAYED", ModemReply::Refused},
        {"BLACKLISTED", ModemReply::Refused},
        {"RING", ModemReply::TimedOut},
        {"CARRIER 9600", ModemReply::TimedOut},
        {"ATDT5551234", ModemReply::TimedOut},
        {"OKAY", ModemReply::TimedOut},
        {"CONNECTED", ModemReply::TimedOut},
    };
    for (const auto& [line, reply] : cases) {
        EXPECT_EQ(HayesDialogue::classify(line), reply) << line;
    }
    int detail = -1;
    EXPECT_EQ(ModemLine::eventFor(ModemReply::Refused, detail), CallEvent::CallUnavailable);
    EXPECT_EQ(ModemLine::eventFor(ModemReply::TimedOut, detail), CallEvent::Disconnected);
    EXPECT_EQ(ModemLine::eventFor(ModemReply::PortFailed, detail), CallEvent::OtherError);
    EXPECT_EQ(detail, static_cast<int>(ModemFault::PortFailed));
    EXPECT_EQ(ModemLine::eventFor(ModemReply::Ok, detail), std::nullopt);
}

TEST_F(ModemLineTest, ConnectedLineCarriesBytesBothWays)
{
    modem.setConnectText("CONNECT 2400/ARQ");
    std::unique_ptr<LineDevice> line = openLine();
    ASSERT_TRUE(line->dial(" 5551234", observer));
    ASSERT_EQ(observer.waitForEvent()->first, CallEvent::Connected);
    ByteLink* link = line->link();
    ASSERT_NE(link, nullptr);
    modem.sendToHost("ID=\r");
    char buffer[64];
    std::size_t length = sizeof buffer;
    ASSERT_TRUE(link->read(buffer, length, "\r", 2000)) << link->lastError();
    // Nothing of the modem's own CONNECT line is left for the link.
    EXPECT_EQ(std::string(buffer, length), "ID=\r");
    ASSERT_TRUE(link->write("\x1bPG1\r", 5));
    EXPECT_TRUE(modem.waitUntil([&] { return modem.dataFromHost() == "\x1bPG1\r"; }));
    line->hangUp();
}

TEST_F(ModemLineTest, EchoAndUnsolicitedLinesDoNotEndTheDialogue)
{
    // The modem echoes until ATE0 and sends RING in between; neither is a result.
    modem.setCommandReply("ATZ", "RING\r\n\r\nOK");
    std::unique_ptr<LineDevice> line = openLine();
    ASSERT_TRUE(line->dial(" 5551234", observer));
    ASSERT_EQ(observer.waitForEvent()->first, CallEvent::Connected);
    EXPECT_EQ(modem.commands().size(), 3u);
    line->hangUp();
}

TEST_F(ModemLineTest, NoResultWithinTheAnswerTimeOutIsADisconnectedCall)
{
    modem.setDialResult(FakeModem::DialResult::Silence);
    std::unique_ptr<LineDevice> line = openLine({{"answerTimeout", 200}});
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(line->dial(" 5551234", observer));
    const auto event = observer.waitForEvent();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->first, CallEvent::Disconnected);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
    // The modem is still dialling: the hang-up stops the dial and hangs up.
    line->hangUp();
    EXPECT_EQ(modem.commands().back(), "ATH");
    EXPECT_FALSE(modem.inCall());
}

TEST_F(ModemLineTest, AnAnswerLeftOverFromAnEarlierCommandIsNotTakenForTheNext)
{
    // ATZ draws two answers; the second, read as the answer to the next command, would leave
    // that command's own OK to be taken as the dial's result (no call, in fact).
    modem.setCommandReply("ATZ", "OK\r\n\r\nOK");
    std::unique_ptr<LineDevice> line = openLine();
    ASSERT_TRUE(line->dial(" 5551234", observer));
    const auto event = observer.waitForEvent();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->first, CallEvent::Connected);
    EXPECT_NE(line->link(), nullptr);
    line->hangUp();
}

TEST_F(ModemLineTest, InitStringsMustBeAnsweredOk)
{
    struct Case
    {
        std::string command;
        std::string reply;
        ModemFault fault;
    };
    for (const Case& test : {Case {"ATZ", "ERROR", ModemFault::ErrorReply},
                             Case {"ATE0V1Q0", "", ModemFault::NoReply}}) {
        SCOPED_TRACE(test.command);
        FakeModem silentModem;
        ASSERT_TRUE(silentModem.start());
        silentModem.setCommandReply(test.command, test.reply);
        writeModemLine("0", silentModem.devicePath(), {{"commandTimeout", 150}});
        Telephony telephony;
        std::unique_ptr<LineDevice> line = telephony.open(0, log, "kestrel");
        RecordingObserver failures;
        ASSERT_TRUE(line->dial(" 5551234", failures));
        const auto event = failures.waitForEvent();
        ASSERT_TRUE(event);
        EXPECT_EQ(event->first, CallEvent::OtherError);
        EXPECT_EQ(event->second, static_cast<int>(test.fault));
        EXPECT_TRUE(silentModem.dialled().empty());
        line->hangUp();
    }
}

TEST_F(ModemLineTest, EmptyInitStringsAreSkipped)
{
    std::unique_ptr<LineDevice> line
        = openLine({{"initString", std::string("")}, {"initString2", std::string("AT&F")}});
    ASSERT_TRUE(line->dial(" 5551234", observer));
    ASSERT_EQ(observer.waitForEvent()->first, CallEvent::Connected);
    EXPECT_EQ(modem.commands(), (std::vector<std::string> {"AT&F", "ATDT 5551234"}));
    line->hangUp();
}

TEST_F(ModemLineTest, ANumberAModemCannotDialIsRefusedAtOnce)
{
    std::unique_ptr<LineDevice> line = openLine();
    EXPECT_FALSE(line->dial(" 555\rATH", observer));
    EXPECT_EQ(line->lastError(), 4);
    EXPECT_FALSE(modem.waitUntil([&] { return !modem.commands().empty(); }, 100ms));
    EXPECT_TRUE(observer.events().empty());
    EXPECT_NE(logText().find("which a modem cannot dial"), std::string::npos);
}

TEST_F(ModemLineTest, ALineDialsOnce)
{
    std::unique_ptr<LineDevice> line = openLine();
    ASSERT_TRUE(line->dial(" 5551234", observer));
    ASSERT_TRUE(observer.waitForEvent());
    EXPECT_FALSE(line->dial(" 5551234", observer));
    EXPECT_EQ(line->lastError(), 4);
    line->hangUp();
    EXPECT_FALSE(line->dial(" 5551234", observer));
}

TEST_F(ModemLineTest, AMissingDeviceGivesNoLineAndTheNextDeviceIsTried)
{
    writeModemLine("0", "/nonexistent/ttyUSB3");
    writeModemLine("1", modem.devicePath());
    writeModemLine("2", "/dev/null");
    Telephony telephony;
    // As the driver walks its device list: on to the next device while no line could be
    // opened (7).
    std::vector<int> errors;
    std::unique_ptr<LineDevice> line;
    for (std::uint32_t device : {0u, 2u, 1u}) {
        line = telephony.open(device, log, "kestrel");
        ASSERT_NE(line, nullptr);
        if (line->dial(" 5551234", observer)) {
            break;
        }
        errors.push_back(line->lastError());
        line.reset();
    }
    EXPECT_EQ(errors, (std::vector<int> {7, 7}));
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(observer.waitForEvent()->first, CallEvent::Connected);
    EXPECT_NE(logText().find("No line: cannot open /nonexistent/ttyUSB3"), std::string::npos);
    EXPECT_NE(logText().find("/dev/null: it is not a serial device"), std::string::npos);
    line->hangUp();
}

TEST_F(ModemLineTest, ADeviceAnotherProgramHoldsReportsLineInUse)
{
    const int other = open(modem.devicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    std::unique_ptr<LineDevice> line = openLine();
    // The call request is taken; its refusal arrives as an event.
    ASSERT_TRUE(line->dial(" 5551234", observer));
    const auto event = observer.waitForEvent();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->first, CallEvent::LineInUse);
    EXPECT_EQ(line->link(), nullptr);
    EXPECT_TRUE(modem.commands().empty());
    line->hangUp();
    close(other);
}

TEST_F(ModemLineTest, AnUnsupportedSpeedGivesNoLine)
{
    std::unique_ptr<LineDevice> line = openLine({{"speed", 12345}});
    EXPECT_FALSE(line->dial(" 5551234", observer));
    EXPECT_EQ(line->lastError(), 7);
    EXPECT_NE(logText().find("the speed 12345 is not supported"), std::string::npos);
}

} // namespace
