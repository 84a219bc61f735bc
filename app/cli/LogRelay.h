#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <thread>

// Shows what is written to the shared log while it happens: a thread follows the log file
// from where it stood at start() and writes each new line to a stream, until stop(). It sees
// the lines of every writer (this program's threads, the driver plug-ins, other programs),
// but only those the log's level lets through. "send" shows the drivers' lines ("kestrel",
// "plover") during a transmission; "serve --foreground" echoes every line.
class LogRelay
{
public:
    // Which lines are relayed, and how they are shown.
    enum class Lines {
        Drivers, // the drivers' lines only, as "<prefix>tag: message"
        All, // every line, as "<prefix>Level tag: message" (the level's short name)
    };

    // A relay writing to `out` (stderr), each line after `prefix`.
    LogRelay(std::ostream& out, std::string prefix, Lines lines = Lines::Drivers);
    // Stops following.
    ~LogRelay();
    LogRelay(const LogRelay&) = delete;
    LogRelay& operator=(const LogRelay&) = delete;

    // Starts following the log file at `path` from its present end.
    void start(const std::string& path);
    // Relays what is left and stops following.
    void stop();
    // Stops following without waiting for the relay thread (which may be blocked on a
    // stalled stream); only for a process that ends right after.
    void abandon();
    // The file being followed ("" when stopped).
    const std::string& path() const { return m_path; }

private:
    void run(std::string path, long long offset);
    long long relayFrom(const std::string& path, long long offset, std::string& partial);

    std::ostream& m_out;
    const std::string m_prefix;
    const Lines m_lines;
    std::atomic<bool> m_stopping {false};
    std::thread m_thread;
    std::string m_path;
};
