#include "stores/StoreFile.h"

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
    switch (FileIo::readRegularFile(m_path, bytes, error)) {
    case FileIo::ReadResult::Read:
        return ReadResult::Read;
    case FileIo::ReadResult::Missing:
        return ReadResult::Missing;
    case FileIo::ReadResult::Failed:
        break;
    }
    return ReadResult::Failed;
}

bool StoreFile::checkChangeable(std::string& error) const
{
    error = FileIo::replaceProblem(m_path);
    return error.empty();
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
    if (!checkChangeable(error)) {
        return false;
    }
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
