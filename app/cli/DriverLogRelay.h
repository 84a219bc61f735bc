#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <thread>

// Shows what the driver plug-ins log while a transmission runs: a thread follows the log
// file from where it stood at start() and writes each new line of the drivers ("kestrel",
// "plover") to a stream, until stop(). Only lines the log's level lets through are seen.
class DriverLogRelay
{
public:
    // A relay writing to `out` (a terminal's stderr), each line after `prefix`.
    DriverLogRelay(std::ostream& out, std::string prefix);
    // Stops following.
    ~DriverLogRelay();
    DriverLogRelay(const DriverLogRelay&) = delete;
    DriverLogRelay& operator=(const DriverLogRelay&) = delete;

    // Starts following the log file at `path` from its present end.
    void start(const std::string& path);
    // Relays what is left and stops following.
    void stop();

private:
    void run(std::string path, long long offset);
    long long relayFrom(const std::string& path, long long offset, std::string& partial);

    std::ostream& m_out;
    const std::string m_prefix;
    std::atomic<bool> m_stopping {false};
    std::thread m_thread;
};
