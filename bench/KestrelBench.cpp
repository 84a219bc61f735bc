// The IXO/TAP driver delivering 20 messages of 100 characters to the simulated paging
// terminal, which answers every block at once. Run with
//   build/bench/bench_kestrel --benchmark_repetitions=5
//
// kestrelPlugin/<goAheadDelayMs>/<logLevel>/<messages>: the plug-in loaded from its built file
//   by class identifier and driven by dispatch number as a host drives it (clear, addMessage
//   for each message, send) with a headless view, over a TCP line device to the terminal on
//   127.0.0.1. Its time is the host's whole sequence; the go-ahead pause is set through the
//   settings store. With 0 messages the send only connects, logs in and disconnects: the
//   share of a send that does not depend on its messages.
// kestrelEngineSocket20/<logLevel>: the IXO/TAP engine alone on the calling thread, over the
//   serial layer's link on a socket pair to the terminal's thread: no frame, no line device.
// kestrelEngineMemory20/<logLevel>: the engine over an in-memory link to the terminal's
//   protocol side: no thread and no system call besides the log's, so the engine's own cost.
// tapFloor20: the shortest TAP client making the same exchange with the terminal over TCP
//   (prebuilt blocks, buffered reads, no log): what the transport alone costs.
//
// Counters, per send: call_ms (the measured time, also the benchmark's time), fixed_wait_ms
// (the protocol's fixed waits that applied: the pause after the go-ahead), sim_ms (the
// terminal's own work, its pauses being 0), beyond_ms = call - fixed waits - terminal, and
// per_msg_ms = beyond / the messages. The plug-in's also shows load_ms (clear and the addMessage
// calls).
#include "BenchEnvironment.h"
#include "BenchReporter.h"
#include "TapMemoryLink.h"
#include "TapTerminalSimulator.h"
#include "frame/MessageList.h"
#include "kestrel/KestrelIds.h"
#include "kestrel/KestrelSettings.h"
#include "kestrel/TapBlock.h"
#include "kestrel/TapEngine.h"
#include "log/LogFile.h"
#include "plugin/ControlLoader.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "telephony/LineSettings.h"
#include "telephony/PortLink.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMessages = 20;
constexpr std::size_t kMessageLength = 100;
// How long the benchmark waits for the terminal to see the EOT after a send (not timed).
constexpr int kEndWaitMs = 2000;

std::string pagerId(int index)
{
    return std::to_string(5551000 + index);
}

// A message of exactly 100 printable characters, different for each index.
std::string messageText(int index)
{
    std::string text = "Alarm " + std::to_string(index)
        + ": server room B above 30 C since 02:14, rack " + std::to_string(40 + index)
        + " fans failing; call the duty engineer on 4471 at once, then the site manager.";
    text.resize(kMessageLength, '.');
    return text;
}

void fill(MessageList& list)
{
    list.clear();
    for (int i = 0; i < kMessages; ++i) {
        (void)list.add(pagerId(i), messageText(i));
    }
}

// Whether the terminal accepted every message, each with its identifier and its whole text.
bool terminalGotAll(const std::vector<TapReceivedMessage>& received, int count = kMessages)
{
    if (received.size() != static_cast<std::size_t>(count)) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const TapReceivedMessage& message = received[static_cast<std::size_t>(i)];
        if (message.pagerId != pagerId(i) || message.text != messageText(i)) {
            return false;
        }
    }
    return true;
}

double milliseconds(Clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

// The times of the sends of one benchmark, reported as averages per send.
class SendTimes
{
public:
    void add(Clock::duration call, std::chrono::milliseconds fixedWaits, Clock::duration terminal,
             Clock::duration load = {})
    {
        m_callMs += milliseconds(call);
        m_fixedMs += static_cast<double>(fixedWaits.count());
        m_terminalMs += milliseconds(terminal);
        m_loadMs += milliseconds(load);
    }

    // The averages per send as counters; per_msg_ms only when the sends carried messages.
    void report(benchmark::State& state, int messages = kMessages, bool withLoad = false) const
    {
        const auto average = [](double total) {
            return benchmark::Counter(total, benchmark::Counter::kAvgIterations);
        };
        const double beyond = m_callMs - m_fixedMs - m_terminalMs;
        state.counters["call_ms"] = average(m_callMs);
        state.counters["fixed_wait_ms"] = average(m_fixedMs);
        state.counters["sim_ms"] = average(m_terminalMs);
        state.counters["beyond_ms"] = average(beyond);
        if (messages > 0) {
            state.counters["per_msg_ms"] = average(beyond / messages);
        }
        if (withLoad) {
            state.counters["load_ms"] = average(m_loadMs);
        }
    }

private:
    double m_callMs = 0;
    double m_fixedMs = 0;
    double m_terminalMs = 0;
    double m_loadMs = 0;
};

void setIterationTime(benchmark::State& state, Clock::duration span)
{
    state.SetIterationTime(std::chrono::duration<double>(span).count());
}

// The settings store, with the shared log in the benchmark's folder at the given level.
void configureLog(const BenchEnvironment& environment, int logLevel)
{
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    (void)paths.write(SharedSettings::Paths::logFile, environment.file("ndlog.dat"));
    SettingsKey log(RootKey::CurrentUser, SharedSettings::Log::key);
    (void)log.write(SharedSettings::Log::logLevel, logLevel);
}

// ---- The plug-in, as a host drives it ------------------------------------------------------

// A private settings store with the plug-in registered in it, and a control made from it for
// each send, as a host makes one (the control's line devices are read when it is made). The
// driver's settings keep their defaults except the pause after the go-ahead.
class PluginSetup
{
public:
    PluginSetup(int goAheadDelayMs, int logLevel)
    {
        configureLog(m_environment, logLevel);
        SettingsKey driver(RootKey::CurrentUser, KestrelSettings::key);
        (void)driver.write(KestrelSettings::goAheadDelay, goAheadDelayMs);
        if (!m_loader.registerServer(NV_KESTREL_PLUGIN_PATH)) {
            m_error = "cannot register the plug-in: " + m_loader.lastErrorText();
        }
    }

    // Why the setup failed ("" when it did not).
    const std::string& error() const { return m_error; }

    // Points line device 0, a TCP line, at the terminal's port and makes a fresh control;
    // false (with error()) when either failed.
    bool prepare(int port)
    {
        m_control.reset();
        SettingsKey line(RootKey::CurrentUser, std::string(LineSettings::linesKey) + "\\0");
        if (!line.setString("type", "tcp") || !line.setString("host", "127.0.0.1")
            || !line.setNumber("port", port)) {
            m_error = "cannot configure the TCP line in the settings store";
            return false;
        }
        m_control = m_loader.create(KestrelIds::controlClass);
        if (!m_control.isValid()) {
            m_error = "cannot create the control: " + m_loader.lastErrorText();
            return false;
        }
        return true;
    }

    // clear, then addMessage for each of the first `count` messages; false when a call failed.
    bool load(int count)
    {
        bool ok = m_control.callMethod(KestrelIds::Clear);
        for (int i = 0; ok && i < count; ++i) {
            std::int32_t code = -1;
            ok = m_control.callInt(KestrelIds::AddMessage, {pagerId(i), messageText(i)}, code)
                && code == 0;
        }
        return ok;
    }

    // send; the overall code, or -1 when the call itself failed.
    std::int32_t send()
    {
        std::int32_t code = -1;
        return m_control.callInt(KestrelIds::Send, {std::string("5551234")}, code) ? code : -1;
    }

    // Whether the control holds `count` messages, each with the result code 1 (sent).
    bool allSent(int count)
    {
        std::int32_t held = -1;
        if (!m_control.callInt(KestrelIds::GetMessageCount, {}, held) || held != count) {
            return false;
        }
        for (int i = 0; i < count; ++i) {
            std::int32_t code = -1;
            if (!m_control.callInt(KestrelIds::GetMessageResultCode, {static_cast<std::int16_t>(i)},
                                   code)
                || code != 1) {
                return false;
            }
        }
        return true;
    }

private:
    BenchEnvironment m_environment;
    ControlLoader m_loader;
    DispatchClient m_control;
    std::string m_error;
};

void kestrelPlugin(benchmark::State& state)
{
    const int goAheadDelayMs = static_cast<int>(state.range(0));
    const int messages = static_cast<int>(state.range(2));
    PluginSetup setup(goAheadDelayMs, static_cast<int>(state.range(1)));
    if (!setup.error().empty()) {
        state.SkipWithError(setup.error().c_str());
        return;
    }
    SendTimes times;
    for (auto _ : state) {
        TapTerminalSimulator terminal;
        if (!terminal.listen()) {
            state.SkipWithError("cannot start the terminal on a loopback port");
            return;
        }
        if (!setup.prepare(terminal.port())) {
            state.SkipWithError(setup.error().c_str());
            return;
        }
        const Clock::time_point start = Clock::now();
        const bool loaded = setup.load(messages);
        const Clock::time_point loadedAt = Clock::now();
        const std::int32_t code = loaded ? setup.send() : -1;
        const Clock::time_point end = Clock::now();
        (void)terminal.waitForEnd(kEndWaitMs);
        terminal.stop();
        if (code != 0 || !setup.allSent(messages) || !terminalGotAll(terminal.messages(), messages)
            || !terminal.eotSeen()) {
            state.SkipWithError(("the send failed with code " + std::to_string(code)).c_str());
            return;
        }
        setIterationTime(state, end - start);
        times.add(end - start, std::chrono::milliseconds(goAheadDelayMs), terminal.handlingTime(),
                  loadedAt - start);
    }
    times.report(state, messages, true);
}
// 20 messages with the go-ahead pause at its minimum (0) and at its default (1000 ms), at the
// default log level (4) and with every line (12); and the send without messages.
BENCHMARK(kestrelPlugin)
    ->Args({0, 4, kMessages})
    ->Args({0, 12, kMessages})
    ->Args({0, 4, 0})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(kestrelPlugin)
    ->Args({1000, 4, kMessages})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// ---- The engine alone ----------------------------------------------------------------------

// The engine's surroundings for a run on the calling thread: the log open as a send has it,
// the reporter, the messages, and the sending defaults with no pause after the go-ahead.
struct EngineSetup
{
    BenchEnvironment environment;
    LogFile log {LogFile::Mode::PlugIn};
    BenchReporter reporter {log, "kestrel"};
    MessageList list;
    TapSettings settings;

    explicit EngineSetup(int logLevel)
    {
        configureLog(environment, logLevel);
        log.loadSettings();
        (void)log.openForAppend();
        settings.goAheadDelayMs = 0;
    }

    // Runs the engine from Start to End over the link; false when it did not end, failed,
    // or left a message unsent.
    bool run(ByteLink& link)
    {
        reporter.setLastError(0);
        TapEngine engine(link, list, reporter, settings);
        engine.start();
        // Far more steps than 20 acknowledged blocks take: an engine that loops is a failure.
        int steps = 0;
        while (engine.step()) {
            if (++steps > 10000) {
                return false;
            }
        }
        if (reporter.lastError() != 0) {
            return false;
        }
        for (int i = 0; i < kMessages; ++i) {
            if (list.result(i) != MessageResult::Sent) {
                return false;
            }
        }
        return true;
    }
};

void kestrelEngineSocket20(benchmark::State& state)
{
    EngineSetup setup(static_cast<int>(state.range(0)));
    SendTimes times;
    for (auto _ : state) {
        fill(setup.list);
        int fds[2] = {-1, -1};
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
            state.SkipWithError("cannot make a socket pair");
            return;
        }
        TapTerminalSimulator terminal;
        bool ok = terminal.serve(fds[1]);
        Clock::duration span {};
        if (ok) {
            PortLink link(fds[0], setup.log, setup.reporter.tag());
            const Clock::time_point start = Clock::now();
            ok = setup.run(link);
            span = Clock::now() - start;
        }
        ok = ok && terminal.waitForEnd(kEndWaitMs);
        terminal.stop();
        ::close(fds[0]);
        ::close(fds[1]);
        if (!ok || !terminalGotAll(terminal.messages())) {
            state.SkipWithError("the engine's exchange over the socket pair failed");
            return;
        }
        setIterationTime(state, span);
        times.add(span, std::chrono::milliseconds(0), terminal.handlingTime());
    }
    times.report(state);
}
BENCHMARK(kestrelEngineSocket20)->Arg(4)->Arg(12)->UseManualTime()->Unit(benchmark::kMillisecond);

void kestrelEngineMemory20(benchmark::State& state)
{
    EngineSetup setup(static_cast<int>(state.range(0)));
    SendTimes times;
    for (auto _ : state) {
        fill(setup.list);
        TapTerminal terminal {TapTerminalScript {}};
        const Clock::time_point start = Clock::now();
        TapMemoryLink link(terminal);
        const bool ok = setup.run(link);
        const Clock::duration span = Clock::now() - start;
        if (!ok || !terminal.eotSeen() || !terminalGotAll(terminal.messages())) {
            state.SkipWithError("the engine's exchange in memory failed");
            return;
        }
        setIterationTime(state, span);
        times.add(span, std::chrono::milliseconds(0), link.terminalTime());
    }
    times.report(state);
}
BENCHMARK(kestrelEngineMemory20)->Arg(4)->Arg(12)->UseManualTime()->Unit(benchmark::kMillisecond);

// ---- The floor: the shortest client over the same transport -------------------------------

// Reads from the connection until `pending` holds `marker`, then drops everything up to and
// including it; false when the connection ends or stays silent for a second.
bool awaitMarker(int fd, std::string& pending, std::string_view marker)
{
    std::size_t at = 0;
    while ((at = pending.find(marker)) == std::string::npos) {
        pollfd entry {fd, POLLIN, 0};
        if (::poll(&entry, 1, 1000) <= 0) {
            return false;
        }
        char chunk[256];
        const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) {
            return false;
        }
        pending.append(chunk, static_cast<std::size_t>(got));
    }
    pending.erase(0, at + marker.size());
    return true;
}

bool sendBytes(int fd, std::string_view bytes)
{
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL)
        == static_cast<ssize_t>(bytes.size());
}

// The exchange with nothing but the socket calls it needs: prompt, login, go-ahead, each
// block and its ACK, EOT.
bool floorSend(int port, const std::vector<std::string>& blocks)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const int on = 1;
    (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string pending;
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && awaitMarker(fd, pending, "=") && sendBytes(fd, "\x1bPG1\r")
        && awaitMarker(fd, pending, "\x06") && awaitMarker(fd, pending, "\x1b[p");
    for (std::size_t i = 0; ok && i < blocks.size(); ++i) {
        ok = sendBytes(fd, blocks[i]) && awaitMarker(fd, pending, "\x06");
    }
    ok = ok && sendBytes(fd, "\x04\r");
    ::close(fd);
    return ok;
}

void tapFloor20(benchmark::State& state)
{
    std::vector<std::string> blocks;
    MessageList list;
    fill(list);
    for (int i = 0; i < kMessages; ++i) {
        TapBlock block;
        block.begin(list.at(i).pagerId, list.at(i).text, true);
        (void)block.buildNext();
        blocks.emplace_back(block.data(), block.size());
    }
    SendTimes times;
    for (auto _ : state) {
        TapTerminalSimulator terminal;
        if (!terminal.listen()) {
            state.SkipWithError("cannot start the terminal on a loopback port");
            return;
        }
        const Clock::time_point start = Clock::now();
        const bool ok = floorSend(terminal.port(), blocks);
        const Clock::duration span = Clock::now() - start;
        (void)terminal.waitForEnd(kEndWaitMs);
        terminal.stop();
        if (!ok || !terminalGotAll(terminal.messages())) {
            state.SkipWithError("the floor client's exchange failed");
            return;
        }
        setIterationTime(state, span);
        times.add(span, std::chrono::milliseconds(0), terminal.handlingTime());
    }
    times.report(state);
}
BENCHMARK(tapFloor20)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
