#pragma once

#include "SnppCue.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A small SNPP server for the tests of the SNPP driver: listens on 127.0.0.1, serves one
// connection after another on its own thread, records every line it receives and every page
// it accepts, and answers as RFC 1861 has it (220 greeting; 250 to PAGE, MESS, RESE and a
// complete SEND; 503 to a second MESS or an incomplete SEND; 221 to QUIT, then it closes;
// 214 lines and 250 to HELP; 500 to anything else). Cues make it misbehave: another greeting,
// other answers a given number of times, silence, a closed connection, a trickled reply.
// Uses the system's calls directly, so tests that replace the suite's system calls do not
// touch it.
class SnppTestServer
{
public:
    // One page the server accepted with SEND.
    struct Page
    {
        std::string pager;
        std::string message;
    };

    // A server that is not listening yet.
    SnppTestServer();
    // Stops the server.
    ~SnppTestServer();
    SnppTestServer(const SnppTestServer&) = delete;
    SnppTestServer& operator=(const SnppTestServer&) = delete;

    // Listens on 127.0.0.1 at a free port and starts serving; false (with a test failure) when
    // no port could be bound.
    [[nodiscard]] bool start();
    // Closes every socket and joins the server's thread.
    void stop();

    // Adds a cue; cues for the same command apply in the order they were added.
    void addCue(SnppCue cue);
    // Answers the command with the raw reply text `times` times.
    void answer(const std::string& command, const std::string& reply, int times = 1);
    // Sends the raw greeting instead of the normal one.
    void greet(const std::string& reply);
    // Answers nothing to the command (`times` times).
    void silenceOn(const std::string& command, int times = 1);
    // Sends `partialReply` and closes the connection when the command comes.
    void closeOn(const std::string& command, const std::string& partialReply = {});
    // Answers the command's occurrence number `occurrence` (from 1, over all connections) with
    // `reply` only after `delayMs`.
    void lateOn(const std::string& command, int occurrence, const std::string& reply, int delayMs);

    // The port the server listens on.
    int port() const { return m_port; }
    // "127.0.0.1:<port>", as an SNPP address.
    std::string address() const;

    // Every line received so far (line ends removed), over all connections.
    std::vector<std::string> lines() const;
    // Every byte received so far, as it came, over all connections.
    std::string received() const;
    // The pages accepted so far.
    std::vector<Page> pages() const;
    // Connections accepted so far.
    int connections() const;
    // Connections that have ended (closed by either side).
    int finishedConnections() const;
    // Waits up to timeoutMs until `count` connections have ended; true when they have.
    bool waitForFinished(int count, int timeoutMs) const;

    // The normal answers, for tests that compare with them.
    static constexpr const char* kGreeting = "220 Norvane test SNPP server ready\r\n";

private:
    struct Connection;

    void serve();
    void serveConnection(int handle);
    bool handleLine(Connection& connection, const std::string& line);
    bool applyCue(Connection& connection, const std::string& command,
                  const std::string& normalReply, std::string& sent);
    void recordEffect(Connection& connection, const std::string& command,
                      const std::string& argument, const std::string& reply);
    bool sendAll(int handle, const std::string& bytes);
    bool pause(int ms);

    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stopping {false};

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<SnppCue> m_cues;
    std::vector<std::string> m_lines;
    std::string m_received;
    std::vector<Page> m_pages;
    int m_connections = 0;
    int m_finished = 0;
};
