#include "PerlSnppPeer.h"

#include "FreePort.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

bool PerlSnppPeer::start()
{
    const FreePort port;
    m_port = port.number();
    const std::string script = NV_SNPP_PEER_SCRIPT;
    const std::string record = m_dir.file("pages.txt");
    const std::string ready = m_dir.file("ready");
    std::vector<std::string> argv {"perl", script, port.text(), record, ready};
    std::vector<char*> args;
    for (std::string& arg : argv) {
        args.push_back(arg.data());
    }
    args.push_back(nullptr);
    const int error = posix_spawnp(&m_pid, "perl", nullptr, nullptr, args.data(), environ);
    if (error != 0) {
        m_pid = -1;
        ADD_FAILURE() << "cannot start perl for " << script << ": " << std::strerror(error);
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (m_dir.read("ready").empty()) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            ADD_FAILURE() << script << " ended at once (is libnet-snpp-perl installed?)";
            return false;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << script << " did not listen within 10 s";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

PerlSnppPeer::~PerlSnppPeer()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) { }
    }
}
