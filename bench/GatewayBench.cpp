// Client sessions per second through the SNPP gateway (greeting, PAGE, MESS, SEND, QUIT, each
// reply awaited), against a floor and a peer, all with the same client. Run with
//   build-release-bench/bench/bench_gateway --benchmark_min_time=2
// On a machine shared with other work, run it on one core (taskset -c 1 ...): the client, the
// servers and the Perl process then share that core and the ratios measure work rather than
// where the scheduler happened to put each thread.
// The gateway relays each SEND either to a sender that only counts (/0: the gateway's own
// work) or through the send pipeline to the fake driver plug-in (/1: the whole relay: address
// book, grammar, driver loaded from its file, result rows, log lines).
// The floor is the shortest possible server: one thread that accepts, receives and sends the
// gateway's very replies with one system call each. The peer is Net::SNPP::Server
// (libnet-snpp-perl) in a Perl process of its own.
// "gatewayAgainstFloorAndPeer" runs the four servers in turn in each iteration (a round of 20
// sessions each) and reports, from the median round of each, sessions per second,
// "pipeline_over_floor" (pipeline time over floor time; the aim is at most 1.3) and
// "perl_over_pipeline" (above 1: the relay beats the Perl server). "burstOfClients" connects 200
// clients at once, each waiting for the greeting and saying QUIT; it reports how many were served
// and when the last one was.
#include "BenchEnvironment.h"
#include "ClientBurst.h"
#include "FakeDriverIds.h"
#include "FakeDriverScript.h"
#include "LoopbackSocket.h"
#include "directories/AddressBook.h"
#include "directories/AddressBookSelection.h"
#include "directories/ProviderDatabase.h"
#include "gateway/GatewaySender.h"
#include "gateway/SnppServer.h"
#include "sending/GatewaySendAdapter.h"
#include "sending/Sender.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kSessionsPerRound = 20;

// A sender that only counts: the gateway's own work is measured, not a driver's.
class CountingSender final : public GatewaySender
{
public:
    bool sendGatewayPages(std::string_view, std::string_view, std::string_view,
                          GatewaySendCounts& counts) override
    {
        ++m_sends;
        counts.sent = 1;
        counts.failed = 0;
        counts.total = 1;
        return true;
    }
    int sends() const { return m_sends.load(); }

private:
    std::atomic<int> m_sends {0};
};

// The gateway's sender, switched between the counting one and the send pipeline.
class SwitchingSender final : public GatewaySender
{
public:
    explicit SwitchingSender(GatewaySender& pipeline)
        : m_pipeline(pipeline)
    { }
    bool sendGatewayPages(std::string_view recipients, std::string_view message,
                          std::string_view originTag, GatewaySendCounts& counts) override
    {
        GatewaySender& target = m_usePipeline.load() ? m_pipeline : m_counting;
        return target.sendGatewayPages(recipients, message, originTag, counts);
    }
    void usePipeline(bool use) { m_usePipeline = use; }

private:
    GatewaySender& m_pipeline;
    CountingSender m_counting;
    std::atomic<bool> m_usePipeline {false};
};

int freePort()
{
    const int handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(handle, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(handle);
    return ntohs(address.sin_port);
}

// One client connection that reads reply lines.
class Client
{
public:
    explicit Client(int port)
        : m_handle(connectToLoopback(port))
    { }
    ~Client()
    {
        if (m_handle >= 0) {
            ::close(m_handle);
        }
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // The next reply line's first digit ('\0' when none came within 5 s).
    char replyClass()
    {
        for (;;) {
            const std::size_t end = m_buffer.find('\n');
            if (end != std::string::npos) {
                const char first = end > 0 ? m_buffer[0] : '\0';
                m_buffer.erase(0, end + 1);
                return first;
            }
            pollfd entry {m_handle, POLLIN, 0};
            char chunk[512];
            if (m_handle < 0 || ::poll(&entry, 1, 5000) <= 0) {
                return '\0';
            }
            const ssize_t received = ::recv(m_handle, chunk, sizeof chunk, 0);
            if (received <= 0) {
                return '\0';
            }
            m_buffer.append(chunk, static_cast<std::size_t>(received));
        }
    }
    char ask(std::string_view line)
    {
        if (m_handle < 0
            || ::send(m_handle, line.data(), line.size(), MSG_NOSIGNAL)
                != static_cast<ssize_t>(line.size())) {
            return '\0';
        }
        return replyClass();
    }

private:
    int m_handle = -1;
    std::string m_buffer;
};

// One whole session; true when every reply was positive (2xx).
bool session(int port)
{
    Client client(port);
    return client.replyClass() == '2' && client.ask("PAGE 1234567\r\n") == '2'
        && client.ask("MESS Disk full on db1\r\n") == '2' && client.ask("SEND\r\n") == '2'
        && client.ask("QUIT\r\n") == '2';
}

// The gateway on a free port with its own settings, address book and log (level 4).
class GatewayRig
{
public:
    GatewayRig()
        : m_port(freePort())
    {
        SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
        (void)paths.setString("home", m_environment.file("home"));
        SettingsKey server(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\SnppSrv");
        (void)server.setBool("enabled", true);
        (void)server.setString("port", std::to_string(m_port));
        SettingsKey hosts(RootKey::CurrentUser,
                          "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\SnppSrv\\hosts");
        (void)hosts.setString("127.0.0.1", "rwx");
        (void)m_providers.open();
        // The pipeline's IXO/TAP driver is the fake plug-in, which answers at once.
        m_driverReady = FakeDriverScript::registerAs(FakeDriverIds::kestrelClass);
        AddressBook* book = m_books.selectFromSettings();
        if (book != nullptr && book->open()) {
            (void)book->add("pin1234567", "555-1234/1234567");
        }
        m_server = std::make_unique<SnppServer>(m_sender, &m_providers, &m_books);
        m_server->restart();
        for (int i = 0; i < 500 && m_server->listeningPort() != m_port; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~GatewayRig() { m_server.reset(); }
    GatewayRig(const GatewayRig&) = delete;
    GatewayRig& operator=(const GatewayRig&) = delete;

    int port() const { return m_port; }
    bool ready() const { return m_driverReady && m_server->listeningPort() == m_port; }
    // Relays SENDs through the send pipeline (true) or to the counting sender.
    void usePipeline(bool use) { m_sender.usePipeline(use); }

private:
    BenchEnvironment m_environment;
    int m_port;
    // No call record: the fake's record of each dispatch call (a file opened, written and
    // closed per call, nine per page) is the tests' instrumentation, which no real driver
    // does; with it the figures measure the fake's bookkeeping rather than the relay.
    FakeDriverScript m_script {std::string()};
    bool m_driverReady = false;
    ProviderDatabase m_providers;
    AddressBookSelection m_books;
    Sender m_pipeline {&m_providers, &m_books, nullptr};
    GatewaySendAdapter m_adapter {m_pipeline};
    SwitchingSender m_sender {m_adapter};
    std::unique_ptr<SnppServer> m_server;
};

// Net::SNPP::Server in a Perl process of its own, ended by its process id.
class PerlServerRig
{
public:
    PerlServerRig()
        : m_port(freePort())
    {
        int output[2];
        if (::pipe2(output, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        const std::string port = std::to_string(m_port);
        char* argv[]
            = {const_cast<char*>(NORVANE_PERL_PATH), const_cast<char*>(NORVANE_SNPP_BENCH_SERVER),
               const_cast<char*>(port.c_str()), nullptr};
        if (posix_spawn(&m_pid, NORVANE_PERL_PATH, &actions, nullptr, argv, environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(output[1]);
        char ready[16] = {};
        pollfd entry {output[0], POLLIN, 0};
        if (m_pid > 0 && ::poll(&entry, 1, 10000) > 0) {
            m_ready = ::read(output[0], ready, sizeof ready - 1) > 0
                && std::string(ready).rfind("ready", 0) == 0;
        }
        ::close(output[0]);
    }
    ~PerlServerRig()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            int status = 0;
            ::waitpid(m_pid, &status, 0);
        }
    }
    PerlServerRig(const PerlServerRig&) = delete;
    PerlServerRig& operator=(const PerlServerRig&) = delete;

    int port() const { return m_port; }
    bool ready() const { return m_ready; }

private:
    int m_port;
    pid_t m_pid = -1;
    bool m_ready = false;
};

// The floor: the gateway's replies to the benchmark's session, from one thread that does the
// least a server can (blocking accept, one receive per command, one send per reply, close).
class FloorRig
{
public:
    FloorRig()
    {
        m_listener = listenOnLoopback(256, m_port);
        if (m_listener < 0) {
            return;
        }
        m_thread = std::thread([this] { serve(); });
    }
    ~FloorRig()
    {
        m_stopping = true;
        ::shutdown(m_listener, SHUT_RDWR);
        if (m_thread.joinable()) {
            m_thread.join();
        }
        ::close(m_listener);
    }
    FloorRig(const FloorRig&) = delete;
    FloorRig& operator=(const FloorRig&) = delete;

    int port() const { return m_port; }
    bool ready() const { return m_port != 0; }

private:
    static void reply(int handle, std::string_view text)
    {
        (void)::send(handle, text.data(), text.size(), MSG_NOSIGNAL);
    }
    void serve()
    {
        while (!m_stopping) {
            const int handle = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (handle < 0) {
                continue;
            }
            reply(handle, "220 I'm ready\n");
            char buffer[1024];
            bool open = true;
            while (open) {
                const ssize_t received = ::recv(handle, buffer, sizeof buffer, 0);
                if (received <= 0) {
                    break;
                }
                // The client sends one command and waits for its reply.
                switch (buffer[0]) {
                case 'P':
                    reply(handle, "250 ID accepted\n");
                    break;
                case 'M':
                    reply(handle, "250 Message accepted\n");
                    break;
                case 'S':
                    reply(handle, "250 Send successful\n");
                    break;
                default:
                    reply(handle, "221 Okay, Good Bye!\n");
                    open = false;
                    break;
                }
            }
            ::close(handle);
        }
    }

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping {false};
    std::thread m_thread;
};

GatewayRig* gatewayRig = nullptr;
PerlServerRig* perlRig = nullptr;
FloorRig* floorRig = nullptr;

void runSessions(benchmark::State& state, int port, bool ready, const char* what)
{
    if (!ready) {
        state.SkipWithError(what);
        return;
    }
    for (auto _ : state) {
        if (!session(port)) {
            state.SkipWithError("a session was refused or broken off");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void gatewaySessions(benchmark::State& state)
{
    gatewayRig->usePipeline(state.range(0) != 0);
    runSessions(state, gatewayRig->port(), gatewayRig->ready(), "the gateway did not start");
}

void netSnppServerSessions(benchmark::State& state)
{
    runSessions(state, perlRig->port(), perlRig->ready(), "Net::SNPP::Server did not start");
}

void floorSessions(benchmark::State& state)
{
    runSessions(state, floorRig->port(), floorRig->ready(), "the floor server did not start");
}

double secondsFor(int port, bool& ok)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kSessionsPerRound; ++i) {
        ok = session(port) && ok;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The median of the rounds' times: on a machine shared with other work, a round that another
// process held up says nothing about the server.
double median(std::vector<double> rounds)
{
    if (rounds.empty()) {
        return 0;
    }
    std::sort(rounds.begin(), rounds.end());
    const std::size_t middle = rounds.size() / 2;
    return rounds.size() % 2 == 1 ? rounds[middle] : (rounds[middle - 1] + rounds[middle]) / 2;
}

void gatewayAgainstFloorAndPeer(benchmark::State& state)
{
    if (!gatewayRig->ready() || !perlRig->ready() || !floorRig->ready()) {
        state.SkipWithError("a server did not start");
        return;
    }
    std::vector<double> floorRounds;
    std::vector<double> countingRounds;
    std::vector<double> pipelineRounds;
    std::vector<double> perlRounds;
    bool ok = true;
    for (auto _ : state) {
        floorRounds.push_back(secondsFor(floorRig->port(), ok));
        gatewayRig->usePipeline(false);
        countingRounds.push_back(secondsFor(gatewayRig->port(), ok));
        gatewayRig->usePipeline(true);
        pipelineRounds.push_back(secondsFor(gatewayRig->port(), ok));
        perlRounds.push_back(secondsFor(perlRig->port(), ok));
    }
    if (!ok) {
        state.SkipWithError("a session was refused or broken off");
        return;
    }
    const double floorSeconds = median(floorRounds);
    const double countingSeconds = median(countingRounds);
    const double pipelineSeconds = median(pipelineRounds);
    const double perlSeconds = median(perlRounds);
    state.counters["floor_per_s"] = kSessionsPerRound / floorSeconds;
    state.counters["counting_per_s"] = kSessionsPerRound / countingSeconds;
    state.counters["pipeline_per_s"] = kSessionsPerRound / pipelineSeconds;
    state.counters["perl_per_s"] = kSessionsPerRound / perlSeconds;
    state.counters["counting_over_floor"] = countingSeconds / floorSeconds;
    state.counters["pipeline_over_floor"] = pipelineSeconds / floorSeconds;
    state.counters["perl_over_pipeline"] = perlSeconds / pipelineSeconds;
}

void burstOfClients(benchmark::State& state)
{
    if (!gatewayRig->ready()) {
        state.SkipWithError("the gateway did not start");
        return;
    }
    gatewayRig->usePipeline(false);
    const int clients = static_cast<int>(state.range(0));
    int dropped = 0;
    double lastServed = 0;
    for (auto _ : state) {
        const ClientBurst::Outcome outcome = ClientBurst::run(gatewayRig->port(), clients, 60000);
        dropped += outcome.dropped;
        lastServed = std::max(lastServed, outcome.lastServed.count());
    }
    state.counters["dropped"] = dropped;
    state.counters["last_served_ms"] = lastServed * 1000;
}

} // namespace

BENCHMARK(gatewaySessions)->Arg(0)->Arg(1)->UseRealTime();
BENCHMARK(floorSessions)->UseRealTime();
BENCHMARK(netSnppServerSessions)->UseRealTime();
BENCHMARK(gatewayAgainstFloorAndPeer)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(burstOfClients)->Arg(200)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    gatewayRig = new GatewayRig();
    perlRig = new PerlServerRig();
    floorRig = new FloorRig();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete floorRig;
    delete perlRig;
    delete gatewayRig;
    return 0;
}
