#pragma once

#include "TempDir.h"

#include <string>
#include <sys/types.h>

// Net::SNPP::Server run by snpp_peer.pl as a child process on a loopback port: started by the
// test, stopped (by its process id) when the object goes. The pages it accepts are read back
// from its record file.
class PerlSnppPeer
{
public:
    // Starts the script and waits up to 10 s until it listens; false (with a test failure)
    // when it does not come up.
    [[nodiscard]] bool start();
    // Ends the child process it started.
    ~PerlSnppPeer();

    // The port it listens on.
    int port() const { return m_port; }
    // The record file: one "pager<TAB>message" line per accepted page.
    std::string record() const { return m_dir.read("pages.txt"); }

private:
    TempDir m_dir;
    pid_t m_pid = -1;
    int m_port = 0;
};
