#pragma once

#include "TempDir.h"

#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// A program running as a child process while the test goes on, for servers and services:
// its standard input is empty, its standard output and error go to files the test reads at
// any time, the test sends it signals and waits, boundedly, for its end.
class ChildProcess
{
public:
    // How a child ended.
    struct Ending
    {
        int exitCode = -1; // the exit code; -1 when a signal ended it
        int signal = 0; // the signal that ended it; 0 when it exited
    };

    ChildProcess() = default;
    // Kills (SIGKILL) and reaps a child that is still running.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the program (argv[0] is its path) with extra environment variables on top of
    // the test's own; false (with a test failure) when it could not be started.
    [[nodiscard]] bool start(const std::vector<std::string>& argv,
                             const std::map<std::string, std::string>& environment = {});
    // Sends the signal; false when the child has ended or was never started.
    bool signal(int number);
    // Waits up to timeoutMs for the child to end; how it ended, or none while it still runs.
    std::optional<Ending> waitForEnd(int timeoutMs);
    // Whether the child was started and has not ended yet.
    bool running();

    // What the child wrote to its standard output and error so far.
    std::string out() const;
    std::string err() const;

private:
    bool reap(bool block);

    TempDir m_dir;
    pid_t m_pid = -1;
    std::optional<Ending> m_ending;
};
