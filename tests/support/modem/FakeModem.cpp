#include "FakeModem.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return result;
}

} // namespace

FakeModem::FakeModem() = default;

FakeModem::~FakeModem()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    wake();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_master >= 0) {
        ::close(m_master);
    }
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
    }
    if (m_callFd >= 0) {
        ::close(m_callFd);
    }
}

bool FakeModem::start()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        m_errorText = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[128];
    if (::ptsname_r(m_master, name, sizeof name) != 0) {
        m_errorText = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    m_devicePath = name;
    // A fresh slave echoes and edits lines; the modem's answers must reach the host as sent
    // even before the host sets the device up.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave >= 0) {
        termios settings {};
        if (::tcgetattr(slave, &settings) == 0) {
            ::cfmakeraw(&settings);
            ::tcsetattr(slave, TCSANOW, &settings);
        }
        ::close(slave);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        m_errorText = std::string("cannot make an event descriptor: ") + std::strerror(errno);
        return false;
    }
    m_thread = std::thread([this] { run(); });
    return true;
}

void FakeModem::wake()
{
    const std::uint64_t one = 1;
    if (m_wakeFd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    }
}

void FakeModem::setDialResult(DialResult result, std::chrono::milliseconds delay)
{
    std::lock_guard lock(m_mutex);
    m_dialResult = result;
    m_dialDelay = delay;
}

void FakeModem::setConnectText(std::string text)
{
    std::lock_guard lock(m_mutex);
    m_connectText = std::move(text);
}

void FakeModem::setCommandReply(std::string command, std::string reply)
{
    std::lock_guard lock(m_mutex);
    m_replies[upper(command)] = std::move(reply);
}

void FakeModem::setGuardTime(std::chrono::milliseconds guard)
{
    std::lock_guard lock(m_mutex);
    m_guard = guard;
}

void FakeModem::setRemoteDescriptor(int fd)
{
    {
        std::lock_guard lock(m_mutex);
        m_remoteFd = fd;
    }
    wake();
}

void FakeModem::setRemoteDialer(std::function<int(const std::string& number)> dialer)
{
    std::lock_guard lock(m_mutex);
    m_remoteDialer = std::move(dialer);
}

std::vector<std::string> FakeModem::linesTyped() const
{
    std::lock_guard lock(m_mutex);
    return m_linesTyped;
}

void FakeModem::setRemoteHandler(std::function<void(std::string_view bytes)> handler)
{
    std::lock_guard lock(m_mutex);
    m_remoteHandler = std::move(handler);
}

void FakeModem::sendToHost(std::string_view bytes)
{
    {
        std::lock_guard lock(m_mutex);
        m_pendingToHost += bytes;
    }
    wake();
}

void FakeModem::dropCarrier()
{
    {
        std::lock_guard lock(m_mutex);
        m_carrierDropRequested = true;
    }
    wake();
}

std::vector<std::string> FakeModem::commands() const
{
    std::lock_guard lock(m_mutex);
    return m_commands;
}

std::vector<std::string> FakeModem::dialled() const
{
    std::lock_guard lock(m_mutex);
    return m_dialled;
}

int FakeModem::escapes() const
{
    std::lock_guard lock(m_mutex);
    return m_escapes;
}

bool FakeModem::hostClosed() const
{
    std::lock_guard lock(m_mutex);
    return m_hostClosed;
}

bool FakeModem::inCall() const
{
    std::lock_guard lock(m_mutex);
    return m_mode == Mode::Data || m_mode == Mode::OnlineCommand;
}

std::string FakeModem::dataFromHost() const
{
    std::lock_guard lock(m_mutex);
    return m_dataFromHost;
}

bool FakeModem::hostSettings(termios& settings) const
{
    // On the master, the terminal requests act on the slave's settings.
    return ::tcgetattr(m_master, &settings) == 0;
}

bool FakeModem::setHostSettings(const termios& settings)
{
    return ::tcsetattr(m_master, TCSANOW, &settings) == 0;
}

bool FakeModem::waitUntil(const std::function<bool()>& condition,
                          std::chrono::milliseconds timeout) const
{
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() >= deadline) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
