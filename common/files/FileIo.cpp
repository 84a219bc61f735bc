#include "FileIo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

bool FileIo::writeAll(int fd, std::string_view bytes)
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

bool FileIo::readAll(int fd, std::string& out)
{
    out.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (got == 0) {
            return true;
        }
        out.append(buffer, static_cast<std::size_t>(got));
    }
}

std::string FileIo::folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool FileIo::makeFolders(const std::string& folder, std::string& error)
{
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure) {
        error = "cannot create the folder " + folder + ": " + failure.message();
        return false;
    }
    return true;
}

std::string FileIo::systemError(std::string_view what, const std::string& path)
{
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

bool FileIo::replaceAtomically(const std::string& path, const std::string& temporaryPath,
                               std::string_view bytes, unsigned newMode, std::string& error)
{
    const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                          static_cast<mode_t>(newMode));
    if (fd < 0) {
        error = systemError("cannot create the temporary file", temporaryPath);
        return false;
    }
    // A file the user made private stays private.
    struct stat old
    { };
    if (::stat(path.c_str(), &old) == 0) {
        (void)::fchmod(fd, old.st_mode & 07777);
    }
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        error = systemError("cannot write the temporary file", temporaryPath);
        ::close(fd);
        ::unlink(temporaryPath.c_str());
        return false;
    }
    if (::close(fd) != 0) {
        error = systemError("cannot write the temporary file", temporaryPath);
        ::unlink(temporaryPath.c_str());
        return false;
    }
    // rename() replaces the file in one step; the old file is never deleted first.
    if (::rename(temporaryPath.c_str(), path.c_str()) != 0) {
        error = systemError("cannot replace", path);
        ::unlink(temporaryPath.c_str());
        return false;
    }
    const int folder = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        (void)::fsync(folder);
        ::close(folder);
    }
    return true;
}
