#include "FreePort.h"
#include "LineTestSupport.h"
#include "net/SystemCalls.h"
#include "telephony/Telephony.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <future>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A listening socket on 127.0.0.1 standing in for a paging terminal's TAP port.
class Listener
{
public:
    Listener()
    {
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd < 0 || bind(m_fd, reinterpret_cast<sockaddr*>(&address), length) != 0
            || listen(m_fd, 4) != 0
            || getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            ADD_FAILURE() << "no loopback listener";
            return;
        }
        m_port = ntohs(address.sin_port);
    }
    ~Listener()
    {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
    int port() const { return m_port; }
    // The next connection, waiting up to 5 s; -1 when none came.
    int accept()
    {
        pollfd entry {m_fd, POLLIN, 0};
        return poll(&entry, 1, 5000) == 1 ? ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC) : -1;
    }

private:
    int m_fd = -1;
    int m_port = 0;
};

// The system calls with the faults a loopback peer cannot give: socket() or connect() failing
// with a chosen error, or (EINPROGRESS) a connection that never comes, as only the hang-up's
// wake event can end the wait for it. Installed while the object lives.
class ConnectFaults final : public SystemCalls
{
public:
    ConnectFaults(int socketError, int connectError)
        : m_socketError(socketError)
        , m_connectError(connectError)
    {
        install(this);
    }
    ~ConnectFaults() override { install(nullptr); }

    int socket(int domain, int type, int protocol) override
    {
        errno = m_socketError;
        return m_socketError != 0 ? -1 : SystemCalls::socket(domain, type, protocol);
    }
    int connect(int, const sockaddr*, socklen_t) override
    {
        errno = m_connectError;
        return -1;
    }
    int poll(pollfd* entries, nfds_t count, int waitMs) override
    {
        // Beside the wake event, the socket that never connects is hidden from the wait.
        const int hidden = count == 2 ? std::exchange(entries[0].fd, -1) : -1;
        const int ready = SystemCalls::poll(entries, count, waitMs);
        if (count == 2) {
            entries[0].fd = hidden;
        }
        return ready;
    }

private:
    const int m_socketError;
    const int m_connectError;
};

class TcpLineTest : public testing::Test, public LineFixtureBase
{
protected:
    std::unique_ptr<LineDevice> openLine(const std::string& host, int port,
                                         int connectTimeout = 2000)
    {
        writeLine("0",
                  {{"type", std::string("tcp")},
                   {"host", host},
                   {"port", port},
                   {"connectTimeout", connectTimeout}});
        Telephony telephony;
        return telephony.open(0, log, "kestrel");
    }

    RecordingObserver observer;
};

TEST_F(TcpLineTest, DiallingConnectsToTheTerminalAndTheLinkCarriesBytes)
{
    Listener terminal;
    for (const std::string host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(host);
        RecordingObserver events;
        std::unique_ptr<LineDevice> line = openLine(host, terminal.port());
        ASSERT_NE(line, nullptr);
        // The number means nothing to a TCP line.
        ASSERT_TRUE(line->dial(" 5551234", events));
        const auto event = events.waitForEvent();
        ASSERT_TRUE(event);
        ASSERT_EQ(event->first, CallEvent::Connected);
        const int peer = terminal.accept();
        ASSERT_GE(peer, 0);
        ByteLink* link = line->link();
        ASSERT_NE(link, nullptr);
        line->configurePort();
        ASSERT_TRUE(link->write("\r", 1));
        char byte = 0;
        ASSERT_EQ(recv(peer, &byte, 1, 0), 1);
        EXPECT_EQ(byte, '\r');
        ASSERT_EQ(send(peer, "ID=\r", 4, 0), 4);
        char buffer[16];
        std::size_t length = sizeof buffer;
        ASSERT_TRUE(link->read(buffer, length, "\r", 2000));
        EXPECT_EQ(std::string(buffer, length), "ID=\r");
        line->restorePort();
        line->hangUp();
        // The terminal sees the connection end.
        EXPECT_EQ(recv(peer, &byte, 1, 0), 0);
        close(peer);
    }
}

TEST_F(TcpLineTest, ARefusedConnectionIsADisconnectedCall)
{
    FreePort port;
    std::unique_ptr<LineDevice> line = openLine("127.0.0.1", port.number());
    ASSERT_TRUE(line->dial(" 5551234", observer));
    const auto event = observer.waitForEvent();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->first, CallEvent::Disconnected);
    EXPECT_EQ(line->link(), nullptr);
    EXPECT_NE(logText().find("No connection to 127.0.0.1:" + port.text()), std::string::npos);
    line->hangUp();
}

// What each failure of the system's calls makes of the call, and the detail it carries.
TEST_F(TcpLineTest, SocketAndConnectFailuresBecomeTheirCallEvents)
{
    struct Case
    {
        int socketError;
        int connectError;
        int connectTimeout;
        CallEvent event;
        int detail;
    };
    const Case cases[] = {
        {EMFILE, 0, 2000, CallEvent::OtherError, 100 + EMFILE},
        {0, ECONNRESET, 2000, CallEvent::Disconnected, 0},
        {0, EINPROGRESS, 50, CallEvent::Disconnected, 0},
        {0, EHOSTUNREACH, 2000, CallEvent::CallUnavailable, 0},
        {0, ENETDOWN, 2000, CallEvent::CallUnavailable, 0},
        {0, EACCES, 2000, CallEvent::OtherError, 100 + EACCES},
    };
    FreePort port;
    for (const Case& entry : cases) {
        SCOPED_TRACE(testing::Message() << entry.socketError << "/" << entry.connectError);
        RecordingObserver events;
        std::unique_ptr<LineDevice> line
            = openLine("127.0.0.1", port.number(), entry.connectTimeout);
        ConnectFaults faults(entry.socketError, entry.connectError);
        ASSERT_TRUE(line->dial("", events));
        const auto event = events.waitForEvent();
        ASSERT_TRUE(event);
        EXPECT_EQ(*event, RecordingObserver::Event(entry.event, entry.detail));
        EXPECT_EQ(line->link(), nullptr);
        line->hangUp();
    }
}

// A hang-up ends a connect that would otherwise wait out its whole time-out, and reports nothing.
TEST_F(TcpLineTest, HangUpEndsAConnectThatIsStillWaiting)
{
    FreePort port;
    std::unique_ptr<LineDevice> line = openLine("127.0.0.1", port.number(), 20000);
    ConnectFaults faults(0, EINPROGRESS);
    ASSERT_TRUE(line->dial("", observer));
    std::this_thread::sleep_for(50ms);
    const auto start = Clock::now();
    line->hangUp();
    line.reset();
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_TRUE(observer.events().empty());
}

TEST_F(TcpLineTest, HangUpFromAnotherThreadEndsAPendingRead)
{
    Listener terminal;
    std::unique_ptr<LineDevice> line = openLine("127.0.0.1", terminal.port());
    ASSERT_TRUE(line->dial("", observer));
    ASSERT_EQ(observer.waitForEvent()->first, CallEvent::Connected);
    const int peer = terminal.accept();
    ByteLink* link = line->link();
    auto reader = std::async(std::launch::async, [link] {
        char buffer[16];
        std::size_t length = sizeof buffer;
        return link->read(buffer, length, "\r", 20000);
    });
    std::this_thread::sleep_for(50ms);
    const auto start = Clock::now();
    line->hangUp();
    EXPECT_FALSE(reader.get());
    EXPECT_LT(Clock::now() - start, 1s);
    line->hangUp();
    close(peer);
}

TEST_F(TcpLineTest, ALineWithoutHostOrPortCannotBeOpened)
{
    writeLine("0", {{"type", std::string("tcp")}, {"port", 5000}});
    writeLine("1",
              {{"type", std::string("tcp")}, {"host", std::string("127.0.0.1")}, {"port", 70000}});
    Telephony telephony;
    for (std::uint32_t device : {0u, 1u}) {
        EXPECT_EQ(telephony.open(device, log, "kestrel"), nullptr);
        EXPECT_EQ(telephony.lastError(), 7);
    }
}

} // namespace
