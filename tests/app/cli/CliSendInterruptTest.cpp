// norvane-cli send through the kestrel plug-in on a modem line, cut short by a second Ctrl-C
// while the line is being hung up: the device must come back as it was found.
#include "CliSendChild.h"
#include "LineTestSupport.h"
#include "ModemLineFixture.h"
#include "plugin/ControlLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

class CliSendInterrupt : public ModemLineFixture
{
protected:
    void SetUp() override
    {
        ModemLineFixture::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        std::filesystem::create_directories(registry.dir().file("data"));
        SettingsKey paths(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths");
        ASSERT_TRUE(paths.setString("home", registry.dir().path()));
        ControlLoader loader;
        ASSERT_TRUE(loader.registerServer(NV_KESTREL_PLUGIN_PATH)) << loader.lastErrorText();
    }

    // Whether the modem has been given the line.
    bool typed(const std::string& line) const
    {
        const std::vector<std::string> lines = modem.linesTyped();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(CliSendInterrupt, SecondCtrlCPutsTheDeviceBackAndSaysSo)
{
    // The device's own settings, as another program left them.
    termios own {};
    ASSERT_TRUE(modem.hostSettings(own));
    own.c_lflag |= ECHO | ICANON;
    own.c_iflag |= ICRNL;
    ASSERT_TRUE(modem.setHostSettings(own));
    // The call never connects, and the modem never answers ATH: after the first Ctrl-C the
    // hang-up waits its 3 seconds for that answer, and the second Ctrl-C comes meanwhile.
    modem.setDialResult(FakeModem::DialResult::Connect, 30s);
    modem.setCommandReply("ATH", "");
    writeModemLine("0", modem.devicePath(), {{"commandTimeout", 3000}});

    CliSendChild child({NORVANE_CLI_PATH, "send", "555-1234/11", "hello"}, registry.path(),
                       registry.dir().file("out.txt"), registry.dir().file("err.txt"), false);
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(modem.waitUntil([this] { return !modem.dialled().empty(); }, 10s));
    child.interrupt();
    ASSERT_TRUE(modem.waitUntil([this] { return typed("ATH"); }, 10s));
    child.interrupt();
    EXPECT_EQ(child.wait(), -1); // ended by SIGINT, as a program ends on a second Ctrl-C

    // One line says so (the others are the first run's notes on the data files it made).
    const std::string err = registry.dir().read("err.txt");
    const std::string said = "norvane-cli: send cut short by a second Ctrl-C";
    const std::size_t at = err.find(said);
    EXPECT_NE(at, std::string::npos) << err;
    if (at != std::string::npos) {
        EXPECT_EQ(err.find(said, at + 1), std::string::npos) << err;
        EXPECT_EQ(err.find('\n', at), err.size() - 1) << err;
    }
    // Its own settings are back ...
    termios after {};
    ASSERT_TRUE(modem.hostSettings(after));
    EXPECT_TRUE(after.c_lflag & ECHO);
    EXPECT_TRUE(after.c_lflag & ICANON);
    EXPECT_TRUE(after.c_iflag & ICRNL);
    // ... and another program may open it and take it for itself.
    const int fd = ::open(modem.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    EXPECT_GE(fd, 0) << std::strerror(errno);
    if (fd >= 0) {
        EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        ::close(fd);
    }
}

} // namespace
