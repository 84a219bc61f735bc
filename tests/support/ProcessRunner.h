#pragma once

#include <map>
#include <string>
#include <vector>

// What a finished child process left: its exit code (-1 when a signal ended it or it ran
// out of time) and everything it wrote.
struct ProcessResult
{
    int exitCode = -1;
    std::string out;
    std::string err;
    bool timedOut = false;
};

// Runs a program as a child process, feeding it standard input and collecting its output,
// with extra environment variables on top of the test's own.
class ProcessRunner
{
public:
    // Runs the program with the arguments (argv[0] is the program's path) and waits for it,
    // at most `timeoutMs` (then it is killed).
    static ProcessResult run(const std::vector<std::string>& argv,
                             const std::map<std::string, std::string>& environment = {},
                             const std::string& input = {}, int timeoutMs = 20000);
    // The test's environment ("NAME=value" texts) with the extra variables set on top.
    static std::vector<std::string>
    environmentWith(const std::map<std::string, std::string>& environment);
};
