#include "StoreFile.h"

#include "files/FileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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
        error = FileIo::systemError("cannot open", m_path);
        return missing ? ReadResult::Missing : ReadResult::Failed;
    }
    const bool read = FileIo::readAll(fd, bytes);
    if (!read) {
        error = FileIo::systemError("cannot read", m_path);
    }
    ::close(fd);
    return read ? ReadResult::Read : ReadResult::Failed;
}

bool StoreFile::makeFolder(std::string& error) const
{
    return FileIo::makeFolders(FileIo::folderOf(m_path), error);
}

bool StoreFile::replace(std::string_view bytes, std::string& error) const
{
    return FileIo::replaceAtomically(m_path, temporaryPath(), bytes, 0644, error);
}

bool StoreFile::remove(std::string& error) const
{
    if (::unlink(m_path.c_str()) != 0 && errno != ENOENT) {
        error = FileIo::systemError("cannot delete", m_path);
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
