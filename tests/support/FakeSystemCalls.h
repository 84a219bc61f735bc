#pragma once

#include "net/SystemCalls.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

// System calls with faults the real system will not produce on demand: refused sockets, binds
// and connects with a chosen error, sends that take only part of the data or fail, host-name
// lookups that fail or hang until the test lets them go. Installed for the whole process while
// the object lives (a plug-in with its own copy of the calls is reached through PluginNetCalls);
// its destruction lets held lookups go, waits for every lookup helper thread to end and restores
// the real calls.
// Host names other than "localhost" and dotted addresses are answered "not found" without asking
// any name server, so that no test sends a query off this machine.
class FakeSystemCalls : public SystemCalls
{
public:
    FakeSystemCalls();
    ~FakeSystemCalls() override;

    // socket() fails with the error number (0: works).
    void failSocket(int error) { m_socketError = error; }
    // bind() fails with the error number (0: works).
    void failBind(int error) { m_bindError = error; }
    // connect() fails with the error number (0: works).
    void failConnect(int error) { m_connectError = error; }
    // Every lookup answers the getaddrinfo error code (0: as described above).
    void failLookups(int code) { m_lookupError = code; }
    // Each send takes at most the given number of bytes.
    void limitSend(std::size_t bytes) { m_sendLimit = bytes; }
    // send() fails with the error number (0: works).
    void failSend(int error) { m_sendError = error; }

    // Makes lookups wait inside getaddrinfo until releaseLookups().
    void holdLookups();
    // Lets held lookups (and later ones) go on.
    void releaseLookups();
    // Waits up to waitMs until at least `count` lookups are being held; true when they are.
    bool waitForHeldLookups(int count, int waitMs);
    // The number of lookups held right now.
    int heldLookups();
    // The host names looked up through this object so far, in order.
    std::vector<std::string> lookedUp();
    // Lookup results handed out and not released yet.
    int resultsOutstanding() const { return m_resultsOutstanding; }

    int getAddrInfo(const char* node, const char* service, const addrinfo* hints,
                    addrinfo** result) override;
    void freeAddrInfo(addrinfo* info) override;
    int socket(int domain, int type, int protocol) override;
    int bind(int handle, const sockaddr* address, socklen_t length) override;
    int connect(int handle, const sockaddr* address, socklen_t length) override;
    ssize_t send(int handle, const void* data, std::size_t length, int flags) override;

private:
    std::atomic<int> m_socketError {0};
    std::atomic<int> m_bindError {0};
    std::atomic<int> m_connectError {0};
    std::atomic<int> m_lookupError {0};
    std::atomic<int> m_sendError {0};
    std::atomic<std::size_t> m_sendLimit {std::numeric_limits<std::size_t>::max()};
    std::atomic<int> m_resultsOutstanding {0};

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_holding = false;
    int m_held = 0;
    std::vector<std::string> m_lookedUp;
};
