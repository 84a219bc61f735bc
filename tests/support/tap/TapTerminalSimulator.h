#pragma once

#include "TapTerminal.h"
#include "TapTerminalScript.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A simulated IXO/TAP paging terminal on its own thread, following a script: over a
// descriptor the test owns (one end of a socketpair or of a pseudo-terminal), or as a TCP
// server on 127.0.0.1 that accepts one connection and serves it. The session starts when
// serving starts (the prompt goes out at once when the script says so). Observations can
// be read at any time from any thread.
class TapTerminalSimulator
{
public:
    // A simulator following the script; nothing runs until serve() or listen().
    explicit TapTerminalSimulator(TapTerminalScript script = {});
    // Stops the thread; the descriptor given to serve() stays open (it is the caller's).
    ~TapTerminalSimulator();
    TapTerminalSimulator(const TapTerminalSimulator&) = delete;
    TapTerminalSimulator& operator=(const TapTerminalSimulator&) = delete;

    // Serves the descriptor on the simulator's thread until stop() or the other end closes.
    // The caller keeps the descriptor open until stop() has returned.
    [[nodiscard]] bool serve(int fd);
    // Listens on 127.0.0.1 (`port` 0: a free port the system picks), accepts one connection
    // and serves it; the connection is closed after the caller's EOT or when it hangs up.
    [[nodiscard]] bool listen(int port = 0);
    // The port listen() bound (0 before).
    int port() const { return m_port; }
    // Ends the session and joins the thread. Safe to call more than once.
    void stop();
    // Waits until EOT arrived or the connection ended; false when `timeoutMs` passed first.
    [[nodiscard]] bool waitForEnd(int timeoutMs);

    // Observations (copies), as TapTerminal records them.
    int wakeUps() const;
    int prompts() const;
    int logins() const;
    std::vector<TapReceivedBlock> blocks() const;
    std::vector<TapReceivedMessage> messages() const;
    int badChecksums() const;
    bool eotSeen() const;
    std::string received() const;
    std::string sent() const;
    // Why serving stopped early ("" while it runs or after a clean end), e.g. a failed write.
    std::string failure() const;
    // The simulator's own share of the session: the time spent taking in what arrived and
    // writing the answers, the script's pauses left out (a benchmark subtracts it).
    std::chrono::nanoseconds handlingTime() const;

private:
    void run(int fd, bool ownsFd);
    void acceptAndServe();
    void session(int fd);
    // Sleeps, but returns false at once when stop() is called.
    bool pause(int delayMs);
    bool sendAll(int fd, const std::string& bytes);
    void finish(const std::string& failure);

    TapTerminal m_terminal; // guarded by m_mutex
    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_over = false;
    std::string m_failure;
    int m_stopFd = -1;
    int m_listenFd = -1;
    int m_port = 0;
    bool m_isSocket = false;
    std::chrono::nanoseconds m_handlingTime {0}; // guarded by m_mutex
    std::thread m_thread;
};
