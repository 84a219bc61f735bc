#include "LineTestSupport.h"
#include "ModemLineFixture.h"
#include "telephony/ModemLine.h"
#include "telephony/Telephony.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class ModemHangUpTest : public ModemLineFixture
{
protected:
    std::unique_ptr<LineDevice> connectedLine(std::vector<LineValue> extra = {})
    {
        writeModemLine("0", modem.devicePath(), std::move(extra));
        Telephony telephony;
        std::unique_ptr<LineDevice> line = telephony.open(0, log, "kestrel");
        EXPECT_TRUE(line->dial(" 5551234", observer));
        const auto event = observer.waitForEvent();
        EXPECT_TRUE(event && event->first == CallEvent::Connected);
        return line;
    }

    RecordingObserver observer;
};

TEST_F(ModemHangUpTest, ConfigurePortSetsRawXonXoffAndRestorePortPutsTheOldSettingsBack)
{
    std::unique_ptr<LineDevice> line = connectedLine();
    termios before {};
    ASSERT_TRUE(modem.hostSettings(before));
    EXPECT_FALSE(before.c_iflag & (IXON | IXOFF));

    line->configurePort();
    termios tap {};
    ASSERT_TRUE(modem.hostSettings(tap));
    EXPECT_TRUE(tap.c_iflag & IXON);
    EXPECT_TRUE(tap.c_iflag & IXOFF);
    EXPECT_FALSE(tap.c_iflag & (ICRNL | INLCR | IGNCR));
    EXPECT_FALSE(tap.c_oflag & OPOST);
    EXPECT_FALSE(tap.c_lflag & (ECHO | ICANON | ISIG));
    // A pseudo-terminal keeps 8 data bits and no parity whatever is asked (the IXO/TAP
    // settings themselves are checked in SerialPortTest).

    line->restorePort();
    termios after {};
    ASSERT_TRUE(modem.hostSettings(after));
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    line->hangUp();
    EXPECT_EQ(logText().find("Error "), std::string::npos) << logText();
}

TEST_F(ModemHangUpTest, HangUpPutsTheDevicesOwnSettingsBack)
{
    termios own {};
    ASSERT_TRUE(modem.hostSettings(own));
    own.c_lflag |= ECHO | ICANON;
    own.c_iflag |= ICRNL;
    cfsetispeed(&own, B2400);
    cfsetospeed(&own, B2400);
    ASSERT_TRUE(modem.setHostSettings(own));

    std::unique_ptr<LineDevice> line = connectedLine({{"speed", 19200}});
    termios during {};
    ASSERT_TRUE(modem.hostSettings(during));
    EXPECT_FALSE(during.c_lflag & ECHO);
    EXPECT_EQ(cfgetospeed(&during), static_cast<speed_t>(B19200));
    line->hangUp();
    termios after {};
    ASSERT_TRUE(modem.hostSettings(after));
    EXPECT_TRUE(after.c_lflag & ECHO);
    EXPECT_TRUE(after.c_iflag & ICRNL);
    EXPECT_EQ(cfgetospeed(&after), static_cast<speed_t>(B2400));
}

TEST_F(ModemHangUpTest, PortSettingsFailLoudlyButHarmlesslyOnAClosedLine)
{
    std::unique_ptr<LineDevice> line = connectedLine();
    line->hangUp();
    line->configurePort();
    line->restorePort();
    EXPECT_NE(logText().find("Error GetCommState failed (erc=9)"), std::string::npos);
}

TEST_F(ModemHangUpTest, HangUpFromAnotherThreadEndsAPendingReadAndEscapesToCommandMode)
{
    std::unique_ptr<LineDevice> line = connectedLine();
    line->configurePort();
    ByteLink* link = line->link();
    ASSERT_NE(link, nullptr);
    auto reader = std::async(std::launch::async, [link] {
        char buffer[32];
        std::size_t length = sizeof buffer;
        const auto start = Clock::now();
        const bool read = link->read(buffer, length, "\r", 20000);
        return std::make_pair(read, Clock::now() - start);
    });
    std::this_thread::sleep_for(100ms);
    const auto start = Clock::now();
    line->hangUp();
    const auto hangUpTime = Clock::now() - start;
    const auto [read, readTime] = reader.get();
    EXPECT_FALSE(read);
    EXPECT_LT(readTime, 5s);
    EXPECT_LT(hangUpTime, std::chrono::milliseconds(ModemLine::hangUpBudgetMs));
    // A pseudo-terminal has no DTR: the modem got the escape and ATH, then the device closed.
    EXPECT_EQ(modem.escapes(), 1);
    EXPECT_EQ(modem.commands().back(), "ATH");
    EXPECT_FALSE(modem.inCall());
    EXPECT_TRUE(modem.waitUntil([&] { return modem.hostClosed(); }));
    EXPECT_NE(logText().find("ATH answered OK"), std::string::npos);
    // The event was reported once; the hang-up adds none.
    EXPECT_EQ(observer.events().size(), 1u);
}

TEST_F(ModemHangUpTest, HangUpTwiceAndFromTwoThreadsAtOnce)
{
    std::unique_ptr<LineDevice> line = connectedLine();
    std::thread other([&] { line->hangUp(); });
    line->hangUp();
    other.join();
    line->hangUp();
    EXPECT_EQ(modem.escapes(), 1);
    const std::vector<std::string> commands = modem.commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "ATH"), 1);
    EXPECT_EQ(line->link()->write("x", 1), false);
}

TEST_F(ModemHangUpTest, HangUpWhileDiallingStopsTheDialAtOnceWithoutAnEvent)
{
    modem.setDialResult(FakeModem::DialResult::Connect, 10s);
    writeModemLine("0", modem.devicePath());
    Telephony telephony;
    std::unique_ptr<LineDevice> line = telephony.open(0, log, "kestrel");
    ASSERT_TRUE(line->dial(" 5551234", observer));
    ASSERT_TRUE(modem.waitUntil([&] { return !modem.dialled().empty(); }));
    const auto start = Clock::now();
    line->hangUp();
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(modem.commands().back(), "ATH");
    EXPECT_EQ(modem.escapes(), 0);
    EXPECT_FALSE(modem.inCall());
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(observer.events().empty());
    EXPECT_EQ(line->link(), nullptr);
}

TEST_F(ModemHangUpTest, HangUpOfAModemThatNeverAnswersIsBounded)
{
    modem.setDialResult(FakeModem::DialResult::Silence);
    modem.setCommandReply("ATH", "");
    writeModemLine("0", modem.devicePath(), {{"answerTimeout", 100}, {"commandTimeout", 300}});
    Telephony telephony;
    std::unique_ptr<LineDevice> line = telephony.open(0, log, "kestrel");
    ASSERT_TRUE(line->dial(" 5551234", observer));
    ASSERT_EQ(observer.waitForEvent()->first, CallEvent::Disconnected);
    const auto start = Clock::now();
    line->hangUp();
    const auto took = Clock::now() - start;
    // Each answer is waited for commandTimeout at most, the whole within the budget.
    EXPECT_GE(took, 250ms);
    EXPECT_LT(took, std::chrono::milliseconds(ModemLine::hangUpBudgetMs));
    EXPECT_EQ(modem.commands().back(), "ATH");
    EXPECT_NE(logText().find("ATH answered no answer"), std::string::npos);
}

TEST_F(ModemHangUpTest, HangUpBeforeDialOrOnAHeldLineDoesNothingHarmful)
{
    writeModemLine("0", modem.devicePath());
    Telephony telephony;
    std::unique_ptr<LineDevice> line = telephony.open(0, log, "kestrel");
    line->hangUp();
    EXPECT_FALSE(line->dial(" 5551234", observer));
    EXPECT_EQ(line->lastError(), 4);
    EXPECT_TRUE(modem.commands().empty());
}

TEST_F(ModemHangUpTest, DestroyingALineHangsUp)
{
    std::unique_ptr<LineDevice> line = connectedLine();
    line.reset();
    EXPECT_EQ(modem.commands().back(), "ATH");
    EXPECT_TRUE(modem.waitUntil([&] { return modem.hostClosed(); }));
}

} // namespace
