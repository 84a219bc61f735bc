#include "files/FileLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FileLock::FileLock(const std::string& path)
{
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0) {
        m_error = "cannot open the lock file " + path + ": " + std::strerror(errno);
        return;
    }
    while (::flock(m_fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            m_error = "cannot lock " + path + ": " + std::strerror(errno);
            ::close(m_fd);
            m_fd = -1;
            return;
        }
    }
}

FileLock::~FileLock()
{
    if (m_fd >= 0) {
        // Closing the descriptor releases the lock as well; unlocking first says so plainly.
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
}
