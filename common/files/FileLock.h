#pragma once

#include <string>

// An exclusive lock on a lock file beside a store, held for one read-modify-write. The store
// file itself is replaced by rename and so cannot carry the lock. The lock is taken on a file
// descriptor of its own, so it excludes other threads of this process as well as other
// processes (norvane-cli beside the desktop program).
class FileLock
{
public:
    // Opens (creating) the lock file and waits for the exclusive lock.
    explicit FileLock(const std::string& path);
    // Releases the lock.
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Whether the lock is held.
    bool locked() const { return m_fd >= 0; }
    // Why the lock could not be taken ("" when it is held).
    const std::string& error() const { return m_error; }

private:
    int m_fd = -1;
    std::string m_error;
};
