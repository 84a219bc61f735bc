#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The file of a text store and the two files beside it: the temporary file a rewrite is
// written to ("canMsg.tmp" beside "canMsg.dat") and the lock file that serialises writers
// ("canMsg.lock"). A rewrite is written to the temporary file, flushed to the disk and
// renamed over the store, so the store is always either its old or its new whole content.
class StoreFile
{
public:
    // How reading the whole file went.
    enum class ReadResult { Read, Missing, Failed };

    // A store at no path yet.
    StoreFile() = default;
    // The store at the path.
    explicit StoreFile(std::string path);

    // Sets the path of the store file.
    void setPath(std::string path);
    // The path of the store file.
    const std::string& path() const { return m_path; }
    // The temporary file of a rewrite: the store's name with ".tmp" for its extension.
    std::string temporaryPath() const;
    // The lock file: the store's name with ".lock" for its extension.
    std::string lockPath() const;

    // Reads the whole file into `bytes` (a regular file of at most FileIo::maxReadBytes);
    // on Missing or Failed `error` says why.
    ReadResult read(std::string& bytes, std::string& error) const;
    // Whether the store may be replaced or deleted (also when it does not exist yet); false
    // with `error` saying why for a read-only file or something that is not a regular file.
    [[nodiscard]] bool checkChangeable(std::string& error) const;
    // Makes the folder that holds the store (and its parents) when missing.
    [[nodiscard]] bool makeFolder(std::string& error) const;
    // Replaces the store with `bytes` through the temporary file (see the class comment);
    // on failure the store is untouched and `error` says why. Call with the lock held.
    [[nodiscard]] bool replace(std::string_view bytes, std::string& error) const;
    // Deletes the store file unless checkChangeable() refuses; true when it is gone (also
    // when it never existed).
    [[nodiscard]] bool remove(std::string& error) const;
    // The file's last modification in seconds since 1970 (UTC), or -1 when it cannot be read.
    std::int64_t modificationTime() const;

private:
    std::string siblingPath(std::string_view extension) const;

    std::string m_path;
};
