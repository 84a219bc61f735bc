// The SNPP driver's engine and transport sending 20 messages in one connection to a local SNPP
// server, against the floor: the shortest client that makes the same exchange over the same
// server (one buffered read per reply, no logging, no progress). Run with
//   build/bench/bench_plover --benchmark_min_time=2
// "ploverVsFloor" runs both in turn in each iteration and reports driver/floor as "ratio"; the
// argument is the log level the driver's log is written at.
#include "BenchEnvironment.h"
#include "BenchReporter.h"
#include "frame/MessageList.h"
#include "log/LogFile.h"
#include "plover/PloverSettings.h"
#include "plover/SnppSession.h"
#include "plover/SnppTransport.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kMessages = 20;

// A lean SNPP server on 127.0.0.1: greets, answers each line with 250 (221 to QUIT, then
// closes), one connection after another, on its own thread.
class BenchServer
{
public:
    BenchServer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 16);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~BenchServer()
    {
        m_stopping = true;
        m_thread.join();
        ::close(m_listener);
    }
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    int port() const { return m_port; }

private:
    void serve()
    {
        while (!m_stopping) {
            pollfd entry {m_listener, POLLIN, 0};
            if (::poll(&entry, 1, 20) <= 0) {
                continue;
            }
            const int handle = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (handle >= 0) {
                serveOne(handle);
                ::close(handle);
            }
        }
    }

    static void reply(int handle, const char* text)
    {
        (void)::send(handle, text, std::char_traits<char>::length(text), MSG_NOSIGNAL);
    }

    void serveOne(int handle)
    {
        reply(handle, "220 SNPP ready\r\n");
        std::string pending;
        char chunk[2048];
        for (;;) {
            const ssize_t got = ::recv(handle, chunk, sizeof chunk, 0);
            if (got <= 0) {
                return;
            }
            pending.append(chunk, static_cast<std::size_t>(got));
            std::size_t end = 0;
            while ((end = pending.find('\n')) != std::string::npos) {
                const bool quit = pending.compare(0, 4, "QUIT") == 0;
                pending.erase(0, end + 1);
                if (quit) {
                    reply(handle, "221 OK, Goodbye\r\n");
                    return;
                }
                reply(handle, "250 OK\r\n");
            }
        }
    }

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping {false};
    std::thread m_thread;
};

// The messages of one send.
void fill(MessageList& list)
{
    list.clear();
    for (int i = 0; i < kMessages; ++i) {
        (void)list.add(std::to_string(5551000 + i),
                       "Server room temperature above 30 C, rack " + std::to_string(i));
    }
}

// Reads one reply line into `pending`'s front and drops it; false when the connection ends.
bool readLine(int handle, std::string& pending)
{
    char chunk[512];
    std::size_t end = 0;
    while ((end = pending.find('\n')) == std::string::npos) {
        const ssize_t got = ::recv(handle, chunk, sizeof chunk, 0);
        if (got <= 0) {
            return false;
        }
        pending.append(chunk, static_cast<std::size_t>(got));
    }
    pending.erase(0, end + 1);
    return true;
}

bool writeLine(int handle, const std::string& line)
{
    return ::send(handle, line.data(), line.size(), MSG_NOSIGNAL)
        == static_cast<ssize_t>(line.size());
}

// The floor: the same exchange with nothing but the socket calls it needs.
bool floorSend(int port, const MessageList& list)
{
    const int handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    std::string pending;
    ok = ok && readLine(handle, pending);
    for (int i = 0; ok && i < list.count(); ++i) {
        const MessageList::Entry& entry = list.at(i);
        ok = writeLine(handle, "PAGER " + std::to_string(entry.pagerId) + "\r\n")
            && readLine(handle, pending) && writeLine(handle, "MESSAGE " + entry.text + "\r\n")
            && readLine(handle, pending) && writeLine(handle, "SEND\r\n")
            && readLine(handle, pending);
    }
    ok = ok && writeLine(handle, "QUIT\r\n");
    ::close(handle);
    return ok;
}

// The driver: the protocol thread's work of one send, as the plug-in runs it.
bool driverSend(int port, SnppTransport& transport, MessageList& list, BenchReporter& reporter,
                const PloverSettings& settings)
{
    SnppSession session(transport, list, reporter, settings);
    session.run("127.0.0.1", std::to_string(port));
    return reporter.lastError() == 0 && list.result(kMessages - 1) == MessageResult::Sent;
}

// The plug-in's log as a send has it, at the level given as the benchmark's argument (the
// default 4 writes the engine's level-2 lines: four or five per message; 0 writes none).
struct DriverSetup
{
    BenchEnvironment environment;
    LogFile log {LogFile::Mode::PlugIn};
    BenchReporter reporter {log, "plover"};
    SnppTransport transport;
    MessageList list;
    PloverSettings settings;

    explicit DriverSetup(int logLevel)
    {
        SettingsKey key(RootKey::CurrentUser, SharedSettings::Log::key);
        (void)key.write(SharedSettings::Log::logLevel, logLevel);
        log.loadSettings();
        log.setPath(environment.file("ndlog.dat"));
        (void)log.openForAppend();
        settings = PloverSettings::load();
        fill(list);
    }
};

void floor20(benchmark::State& state)
{
    BenchServer server;
    MessageList list;
    fill(list);
    for (auto _ : state) {
        if (!floorSend(server.port(), list)) {
            state.SkipWithError("the floor client's exchange failed");
            return;
        }
    }
}
BENCHMARK(floor20)->Unit(benchmark::kMicrosecond);

void driver20(benchmark::State& state)
{
    BenchServer server;
    DriverSetup setup(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        fill(setup.list);
        if (!driverSend(server.port(), setup.transport, setup.list, setup.reporter,
                        setup.settings)) {
            state.SkipWithError("the driver's exchange failed");
            return;
        }
    }
}
BENCHMARK(driver20)->Arg(4)->Arg(0)->Unit(benchmark::kMicrosecond);

// Both in turn against the same server in each iteration; the ratio of their summed times.
void ploverVsFloor(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    BenchServer server;
    DriverSetup setup(static_cast<int>(state.range(0)));
    MessageList floorList;
    fill(floorList);
    Clock::duration floorTime {};
    Clock::duration driverTime {};
    for (auto _ : state) {
        fill(setup.list);
        const auto start = Clock::now();
        const bool floorOk = floorSend(server.port(), floorList);
        const auto middle = Clock::now();
        const bool driverOk = driverSend(server.port(), setup.transport, setup.list, setup.reporter,
                                         setup.settings);
        const auto end = Clock::now();
        if (!floorOk || !driverOk) {
            state.SkipWithError("an exchange failed");
            return;
        }
        floorTime += middle - start;
        driverTime += end - middle;
    }
    const double floorUs = std::chrono::duration<double, std::micro>(floorTime).count();
    const double driverUs = std::chrono::duration<double, std::micro>(driverTime).count();
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["floor_us"] = floorUs / iterations;
    state.counters["driver_us"] = driverUs / iterations;
    state.counters["ratio"] = floorUs > 0 ? driverUs / floorUs : 0;
}
BENCHMARK(ploverVsFloor)->Arg(4)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace
