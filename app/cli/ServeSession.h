#pragma once

#include "cli/CliCommand.h"
#include "cli/LogRelay.h"
#include "cli/SignalWatcher.h"
#include "services/DeskServices.h"

#include <iosfwd>
#include <string>

// What "norvane-cli serve" runs: the background services (the SNPP gateway thread and the
// scheduler thread sending through one Sender with the real driver plug-ins), without a GUI,
// until SIGINT or SIGTERM. SIGHUP restarts the gateway with fresh settings, as closing the
// Options sheet does. A stop cancels the send in progress and waits a bounded time
// (Serve\stopWaitMs) for both threads. The session adds what is the command's own: the
// signals, stderr and the echo of the log. The signals are taken on the thread that calls
// run(), which must be the main thread and must make the session before starting any other
// thread.
class ServeSession
{
public:
    // A session whose problems go to `err` (stderr); with `foreground`, every line written to
    // the shared log is echoed there too.
    ServeSession(std::ostream& err, bool foreground);
    // Joins the threads (run() has stopped them already).
    ~ServeSession();
    ServeSession(const ServeSession&) = delete;
    ServeSession& operator=(const ServeSession&) = delete;

    // Starts both threads, serves until SIGINT or SIGTERM and stops; the exit code: Success
    // after a stop (also one that ran out of time: the process then ends in here, without
    // waiting for the threads), Failure when a thread could not start. A second SIGINT or
    // SIGTERM during the stop ends the process at once, by that signal.
    ExitCode run();

private:
    bool start();
    void restartGateway();
    void reportGateway();
    ExitCode stop(int signal);
    void pauseStop(std::chrono::milliseconds most);
    void say(const std::string& text);
    [[noreturn]] void endNow(int exitCode);

    // First, so that every thread the members start inherits the blocked signals.
    SignalWatcher m_signals;
    std::ostream& m_err;
    const bool m_foreground;
    LogRelay m_echo;
    DeskServices m_services;
    unsigned m_reportedStatus = 0;
};
