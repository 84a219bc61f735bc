#include "files/FileIo.h"

#include <cerrno>
#include <cstdint>
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

bool FileIo::readAll(int fd, std::string& out, std::size_t limit)
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
        if (static_cast<std::size_t>(got) > limit - out.size()) {
            out.clear();
            errno = EFBIG;
            return false;
        }
        out.append(buffer, static_cast<std::size_t>(got));
    }
}

const char* FileIo::kindOf(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO (named pipe)";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not a file";
}

namespace {

std::string notRegular(const std::string& path, mode_t mode)
{
    return "cannot open " + path + ": it is " + FileIo::kindOf(mode) + ", not a regular file";
}

std::string tooLarge(const std::string& path)
{
    return "cannot read " + path + ": it holds more than "
        + std::to_string(FileIo::maxReadBytes / (1024 * 1024))
        + " MiB, far more than any store; is it the right file?";
}

} // namespace

int FileIo::openRegularFile(const std::string& path, std::string& error)
{
    // Looked at before opening: opening a device can act on it (a modem line raises DTR),
    // and opening a FIFO waits for a writer.
    struct stat info
    { };
    if (::stat(path.c_str(), &info) != 0) {
        error = systemError("cannot open", path);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        error = notRegular(path, info.st_mode);
        errno = EINVAL;
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = systemError("cannot open", path);
        return -1;
    }
    // The path may have been replaced by something else between the two looks.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = notRegular(path, info.st_mode);
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return fd;
}

FileIo::ReadResult FileIo::readRegularFile(const std::string& path, std::string& out,
                                           std::string& error)
{
    out.clear();
    const int fd = openRegularFile(path, error);
    if (fd < 0) {
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    }
    // A file that says it is too large is refused without reading it; one that grows while
    // it is read (or a file of /proc, which says 0) is stopped by readAll's bound.
    struct stat info
    { };
    if (::fstat(fd, &info) == 0 && static_cast<std::uint64_t>(info.st_size) > maxReadBytes) {
        error = tooLarge(path);
        ::close(fd);
        return ReadResult::Failed;
    }
    const bool read = readAll(fd, out);
    if (!read) {
        error = errno == EFBIG ? tooLarge(path) : systemError("cannot read", path);
    }
    ::close(fd);
    return read ? ReadResult::Read : ReadResult::Failed;
}

std::string FileIo::replaceProblem(const std::string& path)
{
    struct stat info
    { };
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        return path + " is " + FileIo::kindOf(info.st_mode) + ", not a regular file";
    }
    // The superuser may write any file, so the mode bits are looked at as well: a store the
    // user made read-only stays as it is.
    if ((info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) {
        return path + " is read-only; make it writable (chmod u+w) to change it";
    }
    return {};
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
    if (std::string problem = replaceProblem(path); !problem.empty()) {
        error = std::move(problem);
        return false;
    }
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
