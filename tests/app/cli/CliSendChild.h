#pragma once

#include <csignal>
#include <fcntl.h>
#include <map>
#include <pty.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

// norvane-cli run as a child the test can interrupt: standard output goes to a file, standard
// error to a file or a pseudo-terminal (to look like a terminal), standard input is empty.
class CliSendChild
{
public:
    // Starts `argv` (argv[0] the program) with NORVANE_REGISTRY set to `registry`.
    CliSendChild(std::vector<std::string> argv, const std::string& registry,
                 const std::string& outFile, const std::string& errFile, bool errIsTerminal)
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        int terminal = -1;
        if (errIsTerminal && openpty(&m_master, &terminal, nullptr, nullptr, nullptr) == 0) {
            posix_spawn_file_actions_adddup2(&actions, terminal, 2);
        } else {
            posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
        }
        std::vector<std::string> env;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            if (std::string(*entry).rfind("NORVANE_REGISTRY=", 0) != 0) {
                env.emplace_back(*entry);
            }
        }
        env.push_back("NORVANE_REGISTRY=" + registry);
        std::vector<char*> args;
        for (std::string& arg : argv) {
            args.push_back(arg.data());
        }
        args.push_back(nullptr);
        std::vector<char*> envs;
        for (std::string& entry : env) {
            envs.push_back(entry.data());
        }
        envs.push_back(nullptr);
        if (posix_spawn(&m_pid, args[0], &actions, nullptr, args.data(), envs.data()) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        if (terminal >= 0) {
            ::close(terminal);
        }
    }
    ~CliSendChild()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            (void)wait();
        }
        if (m_master >= 0) {
            ::close(m_master);
        }
    }
    CliSendChild(const CliSendChild&) = delete;
    CliSendChild& operator=(const CliSendChild&) = delete;

    bool started() const { return m_pid > 0; }
    void interrupt() const { ::kill(m_pid, SIGINT); }

    // Waits for the child's end; its exit code, or -1 when a signal ended it. What it wrote to
    // the terminal is read meanwhile into terminalOutput().
    int wait()
    {
        int status = 0;
        for (;;) {
            drainTerminal();
            const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
            if (done == m_pid) {
                break;
            }
            if (done < 0) {
                return -1;
            }
            ::usleep(10000);
        }
        drainTerminal();
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // What the child wrote to its terminal (line ends as the terminal made them).
    const std::string& terminalOutput() const { return m_terminal; }

private:
    void drainTerminal()
    {
        if (m_master < 0) {
            return;
        }
        const int flags = ::fcntl(m_master, F_GETFL);
        ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::read(m_master, buffer, sizeof buffer)) > 0) {
            m_terminal.append(buffer, static_cast<std::size_t>(got));
        }
    }

    pid_t m_pid = -1;
    int m_master = -1;
    std::string m_terminal;
};
