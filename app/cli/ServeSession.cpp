#include "cli/ServeSession.h"

#include "directories/HeadlessPrompt.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ostream>

namespace {

using namespace std::chrono_literals;

// The origin tag of serve's own log lines.
constexpr std::string_view tag = "Serve";
// How long the main thread waits for a signal before it looks at the gateway's status again.
constexpr std::chrono::milliseconds watchSlice = 100ms;

} // namespace

ServeSession::ServeSession(std::ostream& err, bool foreground)
    : m_signals({SIGINT, SIGTERM, SIGHUP})
    , m_err(err)
    , m_foreground(foreground)
    , m_echo(err, "", LogRelay::Lines::All)
    , m_services(std::make_shared<HeadlessPrompt>(&err, std::string(programName) + ": "), tag)
{ }

ServeSession::~ServeSession() = default;

void ServeSession::say(const std::string& text)
{
    // One write, so that the echoed log lines do not cut into it.
    m_err << (std::string(programName) + ": " + text + "\n") << std::flush;
}

bool ServeSession::start()
{
    if (m_foreground) {
        m_echo.start(LogFile().path());
    }
    // Neither stops serve: numbers still go without a provider database, and pager
    // identifiers without a book.
    if (!m_services.openProviders()) {
        say(m_services.lastErrorText());
    }
    if (!m_services.selectAddressBook()) {
        say(m_services.lastErrorText());
    }
    if (!m_services.start()) {
        say("cannot start " + m_services.lastErrorText());
        if (m_services.threadsLeft() > 0) {
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
    if (!m_services.restartGateway()) {
        say("cannot restart the SNPP gateway thread: " + m_services.lastErrorText()
            + "; SIGHUP tries again");
    }
}

void ServeSession::reportGateway()
{
    const GatewayStatus status = m_services.gatewayStatus();
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
    const std::chrono::milliseconds bound = DeskServices::stopWait();
    LogFile log;
    log.write(LogLevel::Trans, tag, "%s: stopping (at most %lld ms)", SignalWatcher::name(signal),
              static_cast<long long>(bound.count()));
    if (!m_services.stop(bound, [this](std::chrono::milliseconds most) { pauseStop(most); })) {
        say(m_services.lastErrorText() + "; ending without "
            + (m_services.threadsLeft() == 2 ? "them" : "it"));
        endNow(static_cast<int>(ExitCode::Success));
    }
    m_echo.stop();
    return ExitCode::Success;
}

void ServeSession::pauseStop(std::chrono::milliseconds most)
{
    const int again = m_signals.wait(most);
    if (again == SIGINT || again == SIGTERM) {
        LogFile log;
        log.write(LogLevel::Errors, tag, "%s again while stopping: ending at once",
                  SignalWatcher::name(again));
        // Not joined: a stalled stderr must not hold an ending that was asked to be at once.
        m_echo.abandon();
        m_signals.raiseDefault(again);
    }
}

void ServeSession::endNow(int exitCode)
{
    m_echo.abandon();
    std::fflush(nullptr);
    // The threads that did not end still use the session's members: no destructor may run.
    std::_Exit(exitCode);
}
