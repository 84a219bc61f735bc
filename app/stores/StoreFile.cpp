#include "StoreFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string systemError(std::string_view what, const std::string& path)
{
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

StoreFile::StoreFile(std::string path)
    : m_path(std::move(path))
{ }

void StoreFile::setPath(std::string path)
{
    m_path = std::move(path);
}

std::string StoreFile::siblingPath(std::string_view extension) const
{
    std::filesystem::path sibling(m_path);
    sibling.replace_extension(extension);
    if (sibling.string() == m_path) {
        // A store that already carries this extension keeps it and gets a second one.
        return m_path + std::string(extension);
    }
    return sibling.string();
}

std::string StoreFile::temporaryPath() const
{
    return siblingPath(".tmp");
}

std::string StoreFile::lockPath() const
{
    return siblingPath(".lock");
}

StoreFile::ReadResult StoreFile::read(std::string& bytes, std::string& error) const
{
    bytes.clear();
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        error = systemError("cannot open", m_path);
        return missing ? ReadResult::Missing : ReadResult::Failed;
    }
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = systemError("cannot read", m_path);
            ::close(fd);
            return ReadResult::Failed;
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return ReadResult::Read;
}

bool StoreFile::makeFolder(std::string& error) const
{
    const std::string folder = folderOf(m_path);
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure) {
        error = "cannot create the folder " + folder + ": " + failure.message();
        return false;
    }
    return true;
}

bool StoreFile::replace(std::string_view bytes, std::string& error) const
{
    const std::string temporary = temporaryPath();
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = systemError("cannot create the temporary file", temporary);
        return false;
    }
    // The new file takes over the old one's permissions, so a store the user made private
    // stays private.
    struct stat old
    { };
    if (::stat(m_path.c_str(), &old) == 0) {
        (void)::fchmod(fd, old.st_mode & 07777);
    }
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        error = systemError("cannot write the temporary file", temporary);
        ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::close(fd) != 0) {
        error = systemError("cannot write the temporary file", temporary);
        ::unlink(temporary.c_str());
        return false;
    }
    // rename() replaces the store in one step; the old file is never deleted first.
    if (::rename(temporary.c_str(), m_path.c_str()) != 0) {
        error = systemError("cannot replace", m_path);
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    const int folder = ::open(folderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        (void)::fsync(folder);
        ::close(folder);
    }
    return true;
}

bool StoreFile::remove(std::string& error) const
{
    if (::unlink(m_path.c_str()) != 0 && errno != ENOENT) {
        error = systemError("cannot delete", m_path);
        return false;
    }
    return true;
}

std::int64_t StoreFile::modificationTime() const
{
    struct stat info
    { };
    if (::stat(m_path.c_str(), &info) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(info.st_mtime);
}
