#include "telephony/SerialPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

void makeRaw(termios& settings)
{
    settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR
                                               | ICRNL | IXON | IXOFF | IXANY | IUCLC | IMAXBEL);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag
        &= ~static_cast<tcflag_t>(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN);
    // Reads return each byte as it arrives; callers wait with poll().
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
}

} // namespace

SerialPort::OpenResult SerialPort::openExclusive(const std::string& path, int& fd, std::string& why)
{
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        // A device in exclusive mode (TIOCEXCL) refuses every other open with EBUSY.
        if (error == EBUSY) {
            why = path + " is in use by another program (" + std::strerror(error) + ")";
            return OpenResult::Held;
        }
        why = "cannot open " + path + ": " + std::strerror(error);
        return OpenResult::Failed;
    }
    if (!::isatty(fd)) {
        why = "cannot use " + path + ": it is not a serial device";
        ::close(fd);
        fd = -1;
        return OpenResult::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        why = path + " is in use by another program";
        ::close(fd);
        fd = -1;
        return OpenResult::Held;
    }
    // Without privileges, later plain opens of the device now fail with EBUSY. A failure
    // changes nothing for us, so it is not reported.
    ::ioctl(fd, TIOCEXCL);
    return OpenResult::Opened;
}

void SerialPort::close(int fd)
{
    if (fd >= 0) {
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
    }
}

bool SerialPort::speedFor(int bitsPerSecond, speed_t& speed)
{
    struct Rate
    {
        int bitsPerSecond;
        speed_t speed;
    };
    static constexpr Rate rates[] = {
        {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},   {4800, B4800},
        {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600}, {115200, B115200},
        {230400, B230400}, {460800, B460800}, {921600, B921600},
    };
    for (const Rate& rate : rates) {
        if (rate.bitsPerSecond == bitsPerSecond) {
            speed = rate.speed;
            return true;
        }
    }
    return false;
}

termios SerialPort::commandSettings(const termios& current, speed_t speed)
{
    termios settings = current;
    makeRaw(settings);
    settings.c_iflag &= ~static_cast<tcflag_t>(INPCK);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    // CLOCAL: the modem has no carrier while it is given commands and dials.
    settings.c_cflag |= CS8 | CREAD | CLOCAL | HUPCL;
    if (speed != B0) {
        cfsetispeed(&settings, speed);
        cfsetospeed(&settings, speed);
    }
    return settings;
}

termios SerialPort::tapSettings(const termios& current)
{
    termios settings = current;
    makeRaw(settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARODD);
    settings.c_cflag |= CS7 | PARENB | CREAD;
    // A byte that fails the parity check reads as NUL, which the link's reads skip.
    settings.c_iflag |= INPCK | IXON | IXOFF;
    return settings;
}

bool SerialPort::dropDtr(int fd)
{
    int lines = TIOCM_DTR;
    return ::ioctl(fd, TIOCMBIC, &lines) == 0;
}

bool SerialPort::reportsCarrier(int fd)
{
    int lines = 0;
    return ::ioctl(fd, TIOCMGET, &lines) == 0 && (lines & TIOCM_CD) != 0;
}
