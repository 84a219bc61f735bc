#include "telephony/PortLink.h"

#include "StreamPair.h"
#include "TestReporter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

void writeAll(int fd, std::string_view bytes)
{
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

bool hasLine(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class PortLinkTest : public ::testing::TestWithParam<bool>
{
protected:
    StreamPair makePair() const
    {
        return GetParam() ? StreamPair::pseudoTerminal() : StreamPair::sockets();
    }

    TestReporter m_reporter;
};

struct ReadCase
{
    std::string name;
    std::string incoming;
    std::string terminators;
    std::size_t capacity;
    std::string text; // what the read returns
    std::string rest; // what a second read with capacity 256 and terminator "!" returns
};

TEST_P(PortLinkTest, ReadsUntilTerminatorOrCapacity)
{
    const ReadCase cases[] = {
        {"terminator ends", "ID=more!", "=\r", 128, "ID=", "more!"},
        {"NUL bytes skipped", std::string("I\0D\0=!", 6), "=", 128, "ID=", "!"},
        {"first terminator of the set",
         "ab\x15"
         "cd\x06!",
         "\x06\x15\x1b", 128, "ab\x15", "cd\x06!"},
        {"127 bytes fill 128", std::string(200, 'x') + "!", "\r", 128, std::string(127, 'x'),
         std::string(73, 'x') + "!"},
        {"capacity one holds nothing", "z!", "=", 1, "", "z!"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        StreamPair pair = makePair();
        ASSERT_TRUE(pair.valid());
        PortLink link(pair.local(), m_reporter.log(), m_reporter.tag());
        writeAll(pair.remote(), c.incoming);
        char buffer[256];
        std::size_t length = c.capacity;
        ASSERT_TRUE(link.read(buffer, length, c.terminators, 2000));
        EXPECT_EQ(std::string(buffer, length), c.text);
        EXPECT_EQ(buffer[length], '\0');
        length = sizeof buffer;
        ASSERT_TRUE(link.read(buffer, length, "!", 2000));
        EXPECT_EQ(std::string(buffer, length), c.rest);
        EXPECT_EQ(link.lastError(), 0);
    }
}

TEST_P(PortLinkTest, ReadPastItsDeadlineFailsWith203AndLogsWhatItHeld)
{
    StreamPair pair = makePair();
    ASSERT_TRUE(pair.valid());
    PortLink link(pair.local(), m_reporter.log(), m_reporter.tag());
    writeAll(pair.remote(), std::string("ab\0", 3));
    char buffer[128];
    std::size_t length = sizeof buffer;
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(link.read(buffer, length, "=", 300));
    EXPECT_GE(msSince(start), 300);
    EXPECT_LT(msSince(start), 3000);
    EXPECT_EQ(link.lastError(), 203);
    EXPECT_TRUE(hasLine(m_reporter.logMessages(11), "Read (tmo)=2[ab]"));
}

TEST_P(PortLinkTest, LogsWritesReadsAndTerminators)
{
    StreamPair pair = makePair();
    ASSERT_TRUE(pair.valid());
    PortLink link(pair.local(), m_reporter.log(), m_reporter.tag());
    ASSERT_TRUE(link.write("\x1bPG1\r", 5));
    char echo[5];
    ASSERT_EQ(::read(pair.remote(), echo, 5), 5);
    EXPECT_EQ(std::string(echo, 5), "\x1bPG1\r");
    writeAll(pair.remote(), "\x06\r");
    char buffer[128];
    std::size_t length = sizeof buffer;
    ASSERT_TRUE(link.read(buffer, length, "\x06\x15", 1000));

    const std::vector<LogEntry> entries = m_reporter.logEntries();
    std::vector<std::string> lines;
    for (const LogEntry& entry : entries) {
        EXPECT_EQ(entry.tag, "kestrel");
        lines.push_back(std::to_string(entry.level) + " " + entry.message);
    }
    EXPECT_EQ(lines,
              (std::vector<std::string> {"11 Write=5[<1b>PG1<0d>]", "12 Terminator found(6)",
                                         "11 Read=1[<06>]"}));
}

TEST_P(PortLinkTest, ClosedFarEndFailsReadAtOnceWith202)
{
    StreamPair pair = makePair();
    ASSERT_TRUE(pair.valid());
    PortLink link(pair.local(), m_reporter.log(), m_reporter.tag());
    writeAll(pair.remote(), "ab");
    pair.closeRemote();
    char buffer[128];
    std::size_t length = sizeof buffer;
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(link.read(buffer, length, "=", 5000));
    EXPECT_LT(msSince(start), 2000);
    EXPECT_EQ(link.lastError(), 202);
    EXPECT_EQ(length, 0u);
    const std::vector<std::string> errors = m_reporter.logMessages(2);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("Error: ReadFile failed (erc=", 0), 0u);
}

TEST_P(PortLinkTest, InterruptEndsReadInProgressAndEveryLaterOperation)
{
    StreamPair pair = makePair();
    ASSERT_TRUE(pair.valid());
    PortLink link(pair.local(), m_reporter.log(), m_reporter.tag());
    std::atomic<bool> readResult {true};
    std::atomic<int> readCode {0};
    std::atomic<bool> started {false};
    const Clock::time_point start = Clock::now();
    std::thread reader([&] {
        char buffer[128];
        std::size_t length = sizeof buffer;
        started = true;
        readResult = link.read(buffer, length, "=", 20000);
        readCode = link.lastError();
    });
    while (!started) {
        std::this_thread::yield();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    link.interrupt();
    reader.join();
    EXPECT_FALSE(readResult);
    EXPECT_EQ(readCode, 202);
    EXPECT_LT(msSince(start), 5000);

    // Later reads and writes fail at once, and the descriptor is not touched any more.
    writeAll(pair.remote(), "ID=");
    char buffer[128];
    std::size_t length = sizeof buffer;
    EXPECT_FALSE(link.read(buffer, length, "=", 5000));
    EXPECT_EQ(link.lastError(), 202);
    EXPECT_FALSE(link.write("\r", 1));
    EXPECT_EQ(link.lastError(), 200);
    EXPECT_LT(msSince(start), 5000);
    link.interrupt(); // a second interrupt is harmless
}

TEST(PortLinkTerminalTest, InterruptEndsWriteHeldUpByAFullTerminal)
{
    TestReporter reporter(4); // no dump of the big write
    StreamPair pair = StreamPair::pseudoTerminal();
    ASSERT_TRUE(pair.valid());
    PortLink link(pair.local(), reporter.log(), reporter.tag());
    // Nobody reads the far end: the write fills the terminal's buffers and has to wait, as
    // under flow control. A blocking write() there could not be interrupted.
    const std::string big(1024 * 1024, 'x');
    std::atomic<bool> result {true};
    std::thread writer([&] { result = link.write(big.data(), big.size()); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const Clock::time_point start = Clock::now();
    link.interrupt();
    writer.join();
    EXPECT_LT(msSince(start), 2000);
    EXPECT_FALSE(result);
    EXPECT_EQ(link.lastError(), 201);
    // The descriptor's own flags are back as they were: blocking.
    EXPECT_EQ(::fcntl(pair.local(), F_GETFL) & O_NONBLOCK, 0);
}

TEST_P(PortLinkTest, ModemsNoCarrierLosesTheConnectionAndStopsEveryWrite)
{
    const struct
    {
        const char* name;
        std::string incoming;
        bool modemResults;
        bool lost;
    } cases[] = {
        {"as sent", std::string("\x06\r\nNO CARRIER\r\n"), true, true},
        // The letters whose parity does not fit the IXO/TAP port's even parity read as NUL.
        {"through the IXO/TAP framing", std::string("\r\nN\0\0\0A\0\0\0\0\0\r\n", 14), true, true},
        {"from a TCP terminal", std::string("NO CARRIER\r"), false, false},
        {"half of it", std::string("NO CAR\r"), true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StreamPair pair = makePair();
        ASSERT_TRUE(pair.valid());
        PortLink link(pair.local(), m_reporter.log(), m_reporter.tag(), c.modemResults);
        writeAll(pair.remote(), c.incoming);
        char buffer[64];
        // Reads until the bytes are used up; a lost connection fails the read that sees it.
        bool failed = false;
        for (int i = 0; i < 3 && !failed; ++i) {
            std::size_t length = sizeof buffer;
            failed = !link.read(buffer, length, "\r\x06", 200);
        }
        EXPECT_EQ(link.connectionLost(), c.lost);
        if (!c.lost) {
            continue;
        }
        EXPECT_EQ(link.lastError(), 202);
        // Nothing more goes out, and reads fail at once.
        EXPECT_FALSE(link.write("ATDT 5550000\r", 13));
        EXPECT_EQ(link.lastError(), 200);
        const auto start = Clock::now();
        std::size_t length = sizeof buffer;
        EXPECT_FALSE(link.read(buffer, length, "\r", 1000));
        EXPECT_LT(msSince(start), 500);
        char sink[64];
        const int flags = ::fcntl(pair.remote(), F_GETFL);
        ::fcntl(pair.remote(), F_SETFL, flags | O_NONBLOCK);
        EXPECT_LE(::read(pair.remote(), sink, sizeof sink), 0);
    }
    EXPECT_TRUE(hasLine(m_reporter.logMessages(2), "Carrier lost: the modem reported NO CARRIER"));
}

INSTANTIATE_TEST_SUITE_P(Transports, PortLinkTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "PseudoTerminal" : "SocketPair";
                         });

TEST(PortLinkSocketTest, LinkWithoutDescriptorFailsAtOnce)
{
    TestReporter reporter;
    PortLink link(-1, reporter.log(), reporter.tag());
    char buffer[128];
    std::size_t length = sizeof buffer;
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(link.read(buffer, length, "=", 5000));
    EXPECT_LT(msSince(start), 2000);
    EXPECT_EQ(link.lastError(), 202);
    EXPECT_FALSE(link.write("\r", 1));
    EXPECT_EQ(link.lastError(), 200);
}

TEST(PortLinkSocketTest, WriteToClosedPeerFailsWith200WithoutKillingTheProcess)
{
    TestReporter reporter;
    StreamPair pair = StreamPair::sockets();
    ASSERT_TRUE(pair.valid());
    PortLink link(pair.local(), reporter.log(), reporter.tag());
    pair.closeRemote();
    EXPECT_FALSE(link.write("\x04\r", 2));
    EXPECT_EQ(link.lastError(), 200);
    const std::vector<std::string> errors = reporter.logMessages(2);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("Error: WriteFile failed (erc=", 0), 0u);
}

TEST(PortLinkSocketTest, InterruptEndsWriteHeldUpByAFullPeerWith201)
{
    TestReporter reporter(4); // no dump of the big write
    StreamPair pair = StreamPair::sockets();
    ASSERT_TRUE(pair.valid());
    const int small = 4096;
    (void)::setsockopt(pair.local(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    PortLink link(pair.local(), reporter.log(), reporter.tag());
    const std::string big(4 * 1024 * 1024, 'x');
    std::atomic<bool> result {true};
    std::thread writer([&] { result = link.write(big.data(), big.size()); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const Clock::time_point start = Clock::now();
    link.interrupt();
    writer.join();
    EXPECT_LT(msSince(start), 2000);
    EXPECT_FALSE(result);
    EXPECT_EQ(link.lastError(), 201);
    const std::vector<std::string> errors = reporter.logMessages(2);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("Cannot write all chars (", 0), 0u);
}

} // namespace
