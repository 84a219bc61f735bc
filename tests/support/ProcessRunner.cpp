#include "ProcessRunner.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

std::vector<std::string>
ProcessRunner::environmentWith(const std::map<std::string, std::string>& extra)
{
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (!extra.contains(name)) {
            result.push_back(text);
        }
    }
    for (const auto& [name, value] : extra) {
        result.push_back(name + "=" + value);
    }
    return result;
}

namespace {

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    for (std::string& text : texts) {
        result.push_back(text.data());
    }
    result.push_back(nullptr);
    return result;
}

} // namespace

ProcessResult ProcessRunner::run(const std::vector<std::string>& argv,
                                 const std::map<std::string, std::string>& environment,
                                 const std::string& input, int timeoutMs)
{
    ProcessResult result;
    int inPipe[2], outPipe[2], errPipe[2];
    if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0
        || pipe2(errPipe, O_CLOEXEC) != 0) {
        result.err = std::string("pipe: ") + std::strerror(errno);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    std::vector<std::string> args = argv;
    std::vector<std::string> env = environmentWith(environment);
    std::vector<char*> argPointers = pointers(args);
    std::vector<char*> envPointers = pointers(env);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argPointers[0], &actions, nullptr, argPointers.data(),
                                    envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    if (spawned != 0) {
        close(inPipe[1]);
        close(outPipe[0]);
        close(errPipe[0]);
        result.err = "cannot start " + argv[0] + ": " + std::strerror(spawned);
        return result;
    }

    // Feed the input while reading both outputs, so a chatty child never blocks on a full pipe.
    std::size_t written = 0;
    int inFd = inPipe[1];
    if (input.empty()) {
        close(inFd);
        inFd = -1;
    } else {
        fcntl(inFd, F_SETFL, O_NONBLOCK);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int openOutputs = 2;
    char buffer[8192];
    while (openOutputs > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            result.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        pollfd fds[3] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}, {inFd, POLLOUT, 0}};
        if (poll(fds, inFd >= 0 ? 3 : 2, static_cast<int>(left)) < 0 && errno != EINTR) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP)) != 0) {
                const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
                if (got > 0) {
                    (i == 0 ? result.out : result.err)
                        .append(buffer, static_cast<std::size_t>(got));
                } else {
                    close(fds[i].fd);
                    (i == 0 ? outPipe[0] : errPipe[0]) = -1;
                    --openOutputs;
                }
            }
        }
        if (inFd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
            const ssize_t sent = write(inFd, input.data() + written, input.size() - written);
            if (sent > 0) {
                written += static_cast<std::size_t>(sent);
            }
            if (sent < 0 || written == input.size()) {
                close(inFd);
                inFd = -1;
            }
        }
    }
    for (int fd : {outPipe[0], errPipe[0], inFd}) {
        if (fd >= 0) {
            close(fd);
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!result.timedOut && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}
