#pragma once

#include <string>
#include <sys/types.h>

// The lock "serve" holds on its settings store for its whole run, so that a second serve on
// the same store and "status" can tell that one runs: an advisory lock (flock) on the file
// "<store>.serve.lock" beside the store, which holds the process id of its holder. The lock
// goes with the process, also when it is killed, so a stale file never blocks.
class ServeLock
{
public:
    ServeLock() = default;
    // Releases the lock.
    ~ServeLock();
    ServeLock(const ServeLock&) = delete;
    ServeLock& operator=(const ServeLock&) = delete;

    // The lock file of the store at `storePath`.
    static std::string pathFor(const std::string& storePath);
    // Takes the lock of the store; false when another process holds it (holder() names it)
    // or the lock file cannot be made (lastErrorText() says why).
    [[nodiscard]] bool acquire(const std::string& storePath);
    // The process that holds the lock of the store: its id, -1 when it is held by a process
    // whose id cannot be read, 0 when nobody holds it.
    static pid_t holder(const std::string& storePath);
    // Why the latest acquire() failed ("" when another process holds the lock).
    const std::string& lastErrorText() const { return m_lastError; }

private:
    int m_fd = -1;
    std::string m_lastError;
};
