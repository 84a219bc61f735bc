// The fake modem is a test peer of its own: the TAP tests rely on its data mode and escape.
#include "FakeModem.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// The host's side: the slave device in raw mode.
class Host
{
public:
    explicit Host(const std::string& path)
    {
        m_fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios settings {};
        tcgetattr(m_fd, &settings);
        cfmakeraw(&settings);
        tcsetattr(m_fd, TCSANOW, &settings);
    }
    ~Host() { close(); }
    void close()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    bool send(std::string_view bytes)
    {
        return write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // Reads until the text has arrived or 2 s passed; everything read.
    std::string readUntil(std::string_view text)
    {
        std::string received;
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (received.find(text) == std::string::npos
               && std::chrono::steady_clock::now() < deadline) {
            pollfd entry {m_fd, POLLIN, 0};
            char buffer[64];
            if (poll(&entry, 1, 50) == 1) {
                const ssize_t count = read(m_fd, buffer, sizeof buffer);
                if (count > 0) {
                    received.append(buffer, static_cast<std::size_t>(count));
                }
            }
        }
        return received;
    }

private:
    int m_fd = -1;
};

TEST(FakeModem, EchoesUntilToldNotToAndAnswersCommands)
{
    FakeModem modem;
    ASSERT_TRUE(modem.start()) << modem.errorText();
    Host host(modem.devicePath());
    ASSERT_TRUE(host.send("ATZ\r"));
    EXPECT_EQ(host.readUntil("OK\r\n"), "ATZ\r\r\nOK\r\n");
    ASSERT_TRUE(host.send("ATE0\r"));
    EXPECT_EQ(host.readUntil("OK\r\n"), "ATE0\r\r\nOK\r\n");
    ASSERT_TRUE(host.send("AT&C1\r"));
    EXPECT_EQ(host.readUntil("OK\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(modem.commands(), (std::vector<std::string> {"ATZ", "ATE0", "AT&C1"}));
}

TEST(FakeModem, PassesDataToARemoteDescriptorAndLosesTheCarrierWhenItCloses)
{
    FakeModem modem;
    ASSERT_TRUE(modem.start()) << modem.errorText();
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    modem.setRemoteDescriptor(pair[0]);
    Host host(modem.devicePath());
    ASSERT_TRUE(host.send("ATE0\r"));
    host.readUntil("OK\r\n");
    ASSERT_TRUE(host.send("ATDT5550100\r"));
    EXPECT_NE(host.readUntil("CONNECT 9600\r\n").find("CONNECT 9600"), std::string::npos);
    EXPECT_EQ(modem.dialled(), std::vector<std::string> {"5550100"});

    ASSERT_TRUE(host.send("\r\r"));
    char buffer[8];
    ASSERT_EQ(read(pair[1], buffer, 2), 2);
    ASSERT_EQ(write(pair[1], "ID=\r", 4), 4);
    EXPECT_EQ(host.readUntil("ID=\r"), "ID=\r");

    close(pair[1]);
    EXPECT_NE(host.readUntil("NO CARRIER").find("NO CARRIER"), std::string::npos);
    EXPECT_FALSE(modem.inCall());
    close(pair[0]);
}

TEST(FakeModem, EscapeNeedsTheGuardTimeOnBothSides)
{
    FakeModem modem;
    ASSERT_TRUE(modem.start()) << modem.errorText();
    modem.setGuardTime(100ms);
    Host host(modem.devicePath());
    ASSERT_TRUE(host.send("ATE0\r"));
    host.readUntil("OK\r\n");
    ASSERT_TRUE(host.send("ATD5550100\r"));
    host.readUntil("CONNECT");
    std::this_thread::sleep_for(150ms);
    // Without silence before it, "+++" is data.
    ASSERT_TRUE(host.send("a+++b"));
    std::this_thread::sleep_for(150ms);
    // Followed by data within the guard time, it is data too.
    ASSERT_TRUE(host.send("+++c"));
    EXPECT_TRUE(modem.waitUntil([&] { return modem.dataFromHost() == "a+++b+++c"; }));
    EXPECT_EQ(modem.escapes(), 0);
    std::this_thread::sleep_for(150ms);
    ASSERT_TRUE(host.send("+++"));
    EXPECT_EQ(host.readUntil("OK\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(modem.escapes(), 1);
    EXPECT_TRUE(modem.inCall());
    ASSERT_TRUE(host.send("ATH\r"));
    host.readUntil("OK\r\n");
    EXPECT_FALSE(modem.inCall());
    EXPECT_EQ(modem.dataFromHost(), "a+++b+++c");
}

TEST(FakeModem, AnyByteStopsADialAndTheHostsCloseIsNoticed)
{
    FakeModem modem;
    ASSERT_TRUE(modem.start()) << modem.errorText();
    modem.setDialResult(FakeModem::DialResult::Connect, 10s);
    Host host(modem.devicePath());
    ASSERT_TRUE(host.send("ATE0\rATDT1\r"));
    ASSERT_TRUE(modem.waitUntil([&] { return modem.dialled().size() == 1; }));
    ASSERT_TRUE(host.send("\r"));
    EXPECT_NE(host.readUntil("NO CARRIER").find("NO CARRIER"), std::string::npos);
    EXPECT_FALSE(modem.hostClosed());
    host.close();
    EXPECT_TRUE(modem.waitUntil([&] { return modem.hostClosed(); }));
    // The device can be opened again.
    Host again(modem.devicePath());
    ASSERT_TRUE(again.send("AT\r"));
    EXPECT_NE(again.readUntil("OK\r\n").find("OK"), std::string::npos);
}

TEST(FakeModem, RemoteHandlerAndSendToHost)
{
    FakeModem modem;
    ASSERT_TRUE(modem.start()) << modem.errorText();
    std::mutex mutex;
    std::string received;
    modem.setRemoteHandler([&](std::string_view bytes) {
        std::lock_guard lock(mutex);
        received += bytes;
        modem.sendToHost("ack:");
        modem.sendToHost(bytes);
    });
    Host host(modem.devicePath());
    ASSERT_TRUE(host.send("ATE0\rATD1\r"));
    host.readUntil("CONNECT 9600\r\n");
    ASSERT_TRUE(host.send("x"));
    EXPECT_EQ(host.readUntil("ack:x"), "ack:x");
    std::lock_guard lock(mutex);
    EXPECT_EQ(received, "x");
}

} // namespace
