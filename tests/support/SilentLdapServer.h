#pragma once

#include <atomic>
#include <thread>

// A server on 127.0.0.1 that accepts connections and never answers them, for the waits of a
// directory client: with `answerBinds` it accepts every bind (any login) and stays silent on
// everything else, so a search after the bind waits for ever.
class SilentLdapServer
{
public:
    explicit SilentLdapServer(bool answerBinds = false);
    // Closes the listener and every accepted connection.
    ~SilentLdapServer();
    SilentLdapServer(const SilentLdapServer&) = delete;
    SilentLdapServer& operator=(const SilentLdapServer&) = delete;

    // The port it listens on (0 when it could not listen; the test has then failed).
    int port() const { return m_port; }
    // How many connections it has accepted so far.
    int accepted() const { return m_accepted; }

private:
    void serve();

    bool m_answerBinds;
    int m_listener = -1;
    int m_port = 0;
    int m_wake[2] = {-1, -1};
    std::atomic<int> m_accepted = 0;
    std::thread m_thread;
};
