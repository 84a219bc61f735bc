#include "cli/ServeLock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace {

pid_t readPid(int fd)
{
    char text[32] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    if (got <= 0) {
        return -1;
    }
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return pid > 0 && end != text ? static_cast<pid_t>(pid) : -1;
}

} // namespace

ServeLock::~ServeLock()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

std::string ServeLock::pathFor(const std::string& storePath)
{
    return storePath + ".serve.lock";
}

bool ServeLock::acquire(const std::string& storePath)
{
    m_lastError.clear();
    const std::string path = pathFor(storePath);
    // A first serve may come before anything wrote the store, and so before its folder exists.
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        m_lastError = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {
            m_lastError = "cannot lock " + path + ": " + std::strerror(errno);
        }
        ::close(fd);
        return false;
    }
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, pid.data(), pid.size(), 0) < 0) {
        // The lock holds without the id; status then says "a process".
    }
    m_fd = fd;
    return true;
}

pid_t ServeLock::holder(const std::string& storePath)
{
    const int fd = ::open(pathFor(storePath).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    pid_t pid = 0;
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
        ::flock(fd, LOCK_UN);
    } else if (errno == EWOULDBLOCK) {
        pid = readPid(fd);
    }
    ::close(fd);
    return pid;
}
