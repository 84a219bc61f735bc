#include "ChildProcess.h"

#include "ProcessRunner.h"
#include "TestFailure.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

ChildProcess::~ChildProcess()
{
    if (running()) {
        ::kill(m_pid, SIGKILL);
        (void)reap(true);
    }
}

bool ChildProcess::start(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& environment)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string outPath = m_dir.file("stdout");
    const std::string errPath = m_dir.file("stderr");
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0600);
    // The child starts with no blocked signal, whatever the test's threads block.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);

    std::vector<std::string> args = argv;
    std::vector<std::string> env = ProcessRunner::environmentWith(environment);
    std::vector<char*> argPointers;
    for (std::string& text : args) {
        argPointers.push_back(text.data());
    }
    argPointers.push_back(nullptr);
    std::vector<char*> envPointers;
    for (std::string& text : env) {
        envPointers.push_back(text.data());
    }
    envPointers.push_back(nullptr);
    const int spawned = posix_spawn(&m_pid, argPointers[0], &actions, &attributes,
                                    argPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        m_pid = -1;
        testFailure("cannot start " + argv.at(0) + ": " + std::strerror(spawned));
        return false;
    }
    m_ending.reset();
    return true;
}

bool ChildProcess::reap(bool block)
{
    int status = 0;
    pid_t got = 0;
    do {
        got = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got != m_pid) {
        return false;
    }
    Ending ending;
    if (WIFEXITED(status)) {
        ending.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        ending.signal = WTERMSIG(status);
    }
    m_ending = ending;
    return true;
}

bool ChildProcess::running()
{
    return m_pid > 0 && !m_ending && !reap(false);
}

bool ChildProcess::signal(int number)
{
    return running() && ::kill(m_pid, number) == 0;
}

std::optional<ChildProcess::Ending> ChildProcess::waitForEnd(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (running()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return m_ending;
}

std::string ChildProcess::out() const
{
    return m_dir.read("stdout");
}

std::string ChildProcess::err() const
{
    return m_dir.read("stderr");
}
