#include "cli/ServeSession.h"

#include "cli/ServeSettings.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "settings/SettingsKey.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// The origin tag of serve's own log lines.
constexpr std::string_view tag = "Serve";
// How long the main thread waits for a signal before it looks at the gateway's status again.
constexpr std::chrono::milliseconds watchSlice = 100ms;

std::chrono::milliseconds stopWait()
{
    const SettingsKey key(RootKey::CurrentUser, ServeSettings::key);
    std::int32_t ms = key.read(ServeSettings::stopWaitMs);
    if (ms < 0) {
        ms = ServeSettings::stopWaitMs.fallback;
    }
    return std::chrono::milliseconds(ms);
}

} // namespace

ServeSession::ServeSession(std::ostream& err, bool foreground)
    : m_signals({SIGINT, SIGTERM, SIGHUP})
    , m_err(err)
    , m_foreground(foreground)
    , m_echo(err, "", LogRelay::Lines::All)
    , m_directories(err)
    // Every send of serve is quiet and leaves the history alone, so it needs none.
    , m_sender(&m_directories.providers(), &m_directories.books(), nullptr)
    , m_gatewayRoad(m_sender)
    , m_schedulerRoad(m_sender)
    , m_gateway(m_gatewayRoad, &m_directories.providers(), &m_directories.books())
    , m_scheduler(m_store, m_schedulerRoad)
{ }

ServeSession::~ServeSession() = default;

void ServeSession::say(const std::string& text)
{
    // One write, so that the echoed log lines do not cut into it.
    m_err << (std::string(programName) + ": " + text + "\n") << std::flush;
}

bool ServeSession::start()
{
    const LogFile log;
    if (m_foreground) {
        m_echo.start(log.path());
    }
    // The book is open from the start, as the compose window's is: the gateway asks it about
    // "pin" entries and, with fromAdbOnly, about every pager identifier.
    (void)m_directories.open(true);
    m_store.initPath();
    ControlOptions options;
    options.isCancelled = [this] { return m_cancelled.load(); };
    m_sender.setDriverOptions(options);

    LogFile startLog;
    startLog.write(LogLevel::Trans, tag, "Started (pid=%d, saved messages %s, log %s)",
                   static_cast<int>(::getpid()), m_store.path().c_str(), log.path().c_str());
    m_gateway.restart();
    (void)m_scheduler.start();
    if (m_gateway.state() == ThreadState::StartFailed
        || m_scheduler.state() == ThreadState::StartFailed) {
        const std::string why = m_gateway.state() == ThreadState::StartFailed
            ? "the gateway thread: " + m_gateway.lastErrorText()
            : "the scheduler thread: " + m_scheduler.lastErrorText();
        startLog.write(LogLevel::Fatal, tag, "Cannot start %s", why.c_str());
        say("cannot start " + why);
        // The other thread may run already, even be sending: end it as a stop would, bounded.
        m_cancelled.store(true);
        m_gateway.requestShutdown();
        m_scheduler.requestStop();
        const std::chrono::milliseconds bound = stopWait();
        if (!m_gateway.waitForEnd(bound) || !m_scheduler.waitForEnd(bound)) {
            endNow(static_cast<int>(ExitCode::Failure));
        }
        return false;
    }
    return true;
}

void ServeSession::restartGateway()
{
    LogFile log;
    // The log file may have moved with the settings: follow it from this line on.
    if (m_foreground && log.path() != m_echo.path()) {
        m_echo.start(log.path());
    }
    log.write(LogLevel::Trans, tag, "SIGHUP: restarting the gateway with fresh settings");
    m_gateway.restart();
    if (m_gateway.state() == ThreadState::StartFailed) {
        const std::string why = m_gateway.lastErrorText();
        log.write(LogLevel::Errors, tag, "Cannot restart the gateway thread: %s", why.c_str());
        say("cannot restart the SNPP gateway thread: " + why + "; SIGHUP tries again");
    }
}

void ServeSession::reportGateway()
{
    const GatewayStatus status = m_gateway.status();
    if (status.serial == m_reportedStatus) {
        return;
    }
    m_reportedStatus = status.serial;
    LogFile log;
    switch (status.outcome) {
    case GatewayOutcome::Listening:
        log.write(LogLevel::Trans, tag, "Gateway listening on port %s", status.port.c_str());
        break;
    case GatewayOutcome::Disabled:
        log.write(LogLevel::Trans, tag, "Gateway disabled (SnppSrv enabled is 0)");
        say("the SNPP gateway is disabled (SnppSrv enabled is 0); the scheduler runs alone");
        break;
    case GatewayOutcome::PortFailed:
        // The gateway thread has logged it ("Cannot open server port").
        say("the SNPP gateway cannot open port " + status.port
            + " (erc=" + std::to_string(status.error) + ", " + status.errorText
            + "); the scheduler runs alone until SIGHUP restarts the gateway");
        break;
    case GatewayOutcome::None:
    case GatewayOutcome::Stopped:
        break;
    }
}

ExitCode ServeSession::run()
{
    if (!start()) {
        return ExitCode::Failure;
    }
    for (;;) {
        const int signal = m_signals.wait(watchSlice);
        reportGateway();
        if (signal == SIGHUP) {
            restartGateway();
        } else if (signal == SIGINT || signal == SIGTERM) {
            return stop(signal);
        }
    }
}

ExitCode ServeSession::stop(int signal)
{
    const std::chrono::milliseconds bound = stopWait();
    LogFile log;
    log.write(LogLevel::Trans, tag, "%s: stopping (at most %lld ms)", SignalWatcher::name(signal),
              static_cast<long long>(bound.count()));
    m_cancelled.store(true);
    m_gateway.requestShutdown();
    m_scheduler.requestStop();

    const auto deadline = std::chrono::steady_clock::now() + bound;
    bool gatewayEnded = false;
    bool schedulerEnded = false;
    for (;;) {
        gatewayEnded = gatewayEnded || m_gateway.waitForEnd(0ms);
        schedulerEnded = schedulerEnded || m_scheduler.waitForEnd(0ms);
        if (gatewayEnded && schedulerEnded) {
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= 0ms) {
            const bool both = !gatewayEnded && !schedulerEnded;
            const std::string threads = both ? "gateway and scheduler threads"
                : gatewayEnded               ? "scheduler thread"
                                             : "gateway thread";
            log.write(LogLevel::Errors, tag,
                      "Stop: the %s %s still running %lld ms after the stop request; ending "
                      "without waiting for %s",
                      threads.c_str(), both ? "were" : "was", static_cast<long long>(bound.count()),
                      both ? "them" : "it");
            say("the " + threads + " did not end within " + std::to_string(bound.count())
                + " ms; ending without " + (both ? "them" : "it"));
            endNow(static_cast<int>(ExitCode::Success));
        }
        const int again = m_signals.wait(std::min(left, watchSlice));
        if (again == SIGINT || again == SIGTERM) {
            log.write(LogLevel::Errors, tag, "%s again while stopping: ending at once",
                      SignalWatcher::name(again));
            // Not joined: a stalled stderr must not hold an ending that was asked to be at once.
            m_echo.abandon();
            m_signals.raiseDefault(again);
        }
    }
    log.write(LogLevel::Trans, tag, "Stopped");
    m_echo.stop();
    return ExitCode::Success;
}

void ServeSession::endNow(int exitCode)
{
    m_echo.abandon();
    std::fflush(nullptr);
    // The threads that did not end still use the session's members: no destructor may run.
    std::_Exit(exitCode);
}
