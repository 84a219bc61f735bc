#include "telephony/SerialPort.h"

#include "FakeModem.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

termios cookedSettings()
{
    termios settings {};
    settings.c_iflag = ICRNL | IXON | IXANY | ISTRIP | INLCR;
    settings.c_oflag = OPOST | ONLCR;
    settings.c_cflag = CS8 | CREAD | CSTOPB | PARODD;
    settings.c_lflag = ECHO | ICANON | ISIG | IEXTEN | ECHOE;
    settings.c_cc[VSTART] = 0x11;
    settings.c_cc[VSTOP] = 0x13;
    cfsetispeed(&settings, B2400);
    cfsetospeed(&settings, B2400);
    return settings;
}

TEST(SerialPort, TapSettingsAreRawSevenBitsEvenParityAndXonXoff)
{
    const termios tap = SerialPort::tapSettings(cookedSettings());
    EXPECT_EQ(tap.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    EXPECT_TRUE(tap.c_cflag & PARENB);
    EXPECT_FALSE(tap.c_cflag & PARODD);
    EXPECT_TRUE(tap.c_iflag & INPCK);
    EXPECT_TRUE(tap.c_iflag & IXON);
    EXPECT_TRUE(tap.c_iflag & IXOFF);
    EXPECT_FALSE(tap.c_iflag & IXANY);
    EXPECT_FALSE(tap.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP));
    EXPECT_FALSE(tap.c_oflag & OPOST);
    EXPECT_FALSE(tap.c_lflag & (ECHO | ICANON | ISIG | IEXTEN));
    EXPECT_EQ(tap.c_cc[VMIN], 1);
    EXPECT_EQ(tap.c_cc[VTIME], 0);
    // What IXO/TAP does not name stays as it was.
    EXPECT_TRUE(tap.c_cflag & CSTOPB);
    EXPECT_EQ(cfgetospeed(&tap), static_cast<speed_t>(B2400));
    EXPECT_EQ(tap.c_cc[VSTART], 0x11);
    EXPECT_EQ(tap.c_cc[VSTOP], 0x13);
}

TEST(SerialPort, CommandSettingsAreRawEightBitsWithoutFlowControlOrCarrier)
{
    termios original = cookedSettings();
    original.c_cflag |= PARENB | CRTSCTS;
    const termios command = SerialPort::commandSettings(original, B19200);
    EXPECT_EQ(command.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(command.c_cflag & (PARENB | PARODD | CSTOPB | CRTSCTS));
    EXPECT_TRUE(command.c_cflag & CLOCAL);
    EXPECT_TRUE(command.c_cflag & HUPCL);
    EXPECT_FALSE(command.c_iflag & (IXON | IXOFF | ICRNL));
    EXPECT_FALSE(command.c_lflag & (ECHO | ICANON));
    EXPECT_EQ(cfgetospeed(&command), static_cast<speed_t>(B19200));
    // B0 keeps the speed the device had.
    const termios keepSpeed = SerialPort::commandSettings(original, B0);
    EXPECT_EQ(cfgetospeed(&keepSpeed), static_cast<speed_t>(B2400));
}

TEST(SerialPort, SpeedsAreTheSystemsStandardRates)
{
    speed_t speed = B0;
    EXPECT_TRUE(SerialPort::speedFor(9600, speed));
    EXPECT_EQ(speed, static_cast<speed_t>(B9600));
    EXPECT_TRUE(SerialPort::speedFor(115200, speed));
    EXPECT_EQ(speed, static_cast<speed_t>(B115200));
    EXPECT_FALSE(SerialPort::speedFor(9601, speed));
    EXPECT_FALSE(SerialPort::speedFor(-1, speed));
}

TEST(SerialPort, OpenTellsMissingAndUnusableDevicesFromHeldOnes)
{
    int fd = -1;
    std::string why;
    EXPECT_EQ(SerialPort::openExclusive("/nonexistent/ttyS9", fd, why),
              SerialPort::OpenResult::Failed);
    EXPECT_EQ(fd, -1);
    EXPECT_NE(why.find("/nonexistent/ttyS9"), std::string::npos) << why;

    TempDir dir;
    const std::string file = dir.write("not-a-tty", "x");
    EXPECT_EQ(SerialPort::openExclusive(file, fd, why), SerialPort::OpenResult::Failed);
    EXPECT_NE(why.find("not a serial device"), std::string::npos) << why;

    FakeModem modem;
    ASSERT_TRUE(modem.start()) << modem.errorText();
    ASSERT_EQ(SerialPort::openExclusive(modem.devicePath(), fd, why),
              SerialPort::OpenResult::Opened)
        << why;
    EXPECT_EQ(fcntl(fd, F_GETFD) & FD_CLOEXEC, FD_CLOEXEC);
    EXPECT_TRUE(fcntl(fd, F_GETFL) & O_NONBLOCK);
    int second = -1;
    EXPECT_EQ(SerialPort::openExclusive(modem.devicePath(), second, why),
              SerialPort::OpenResult::Held);
    EXPECT_EQ(second, -1);
    EXPECT_NE(why.find("in use"), std::string::npos) << why;
    SerialPort::close(fd);
    ASSERT_EQ(SerialPort::openExclusive(modem.devicePath(), second, why),
              SerialPort::OpenResult::Opened);
    SerialPort::close(second);
}

TEST(SerialPort, APseudoTerminalHasNoDtrToDrop)
{
    FakeModem modem;
    ASSERT_TRUE(modem.start()) << modem.errorText();
    const int fd = open(modem.devicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(SerialPort::dropDtr(fd));
    close(fd);
}

} // namespace
