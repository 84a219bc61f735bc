#pragma once

#include "net/SystemCalls.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

// System calls with the faults the SNPP tests need: host-name lookups that never ask a name
// server (only "localhost" and dotted addresses resolve; other names are not found, or are held
// until released) and sends that fail. Installed for the process while the object lives; its
// destruction lets held lookups go, waits for their helper threads and restores the real calls.
// A plug-in has its own copy of the calls: PluginNetCalls installs the object there too.
class FakeNetCalls : public SystemCalls
{
public:
    FakeNetCalls();
    ~FakeNetCalls() override;

    // Makes lookups of names wait inside the system's lookup until the object goes.
    void holdLookups();
    // Waits up to waitMs until a lookup is being held; true when one is.
    bool waitForHeldLookup(int waitMs);
    // The lookups being held now.
    int heldLookups();
    // Lets held lookups go (they fail as not found) and holds no more.
    void releaseLookups();
    // The host names looked up through this object so far, "localhost" included.
    std::vector<std::string> lookedUp();
    // Makes every send fail as on a broken connection.
    void failSends() { m_failSends = true; }

    int getAddrInfo(const char* node, const char* service, const addrinfo* hints,
                    addrinfo** result) override;
    ssize_t send(int handle, const void* data, std::size_t length, int flags) override;

private:
    std::atomic<bool> m_failSends {false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_holding = false;
    int m_held = 0;
    std::vector<std::string> m_lookedUp;
};
