#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// The last error of an object, kept separately for each calling thread: a thread reads the
// error of its own last failed call, never one that another thread's call left.
class PerThreadError
{
public:
    // Records the error of the calling thread.
    void set(std::string text, std::int32_t code = 0);
    // Forgets the calling thread's error.
    void clear();
    // The calling thread's last error text ("" when none).
    std::string text() const;
    // The calling thread's last error code (0 when none).
    std::int32_t code() const;

private:
    struct Error
    {
        std::string text;
        std::int32_t code = 0;
    };
    mutable std::mutex m_mutex;
    std::map<std::thread::id, Error> m_errors;
};
