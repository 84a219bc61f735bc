#pragma once

#include <string>
#include <string_view>

// A fresh folder under the system's temporary directory, removed with everything in it
// when the object goes.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder's path.
    const std::string& path() const { return m_path; }
    // The path of a file or folder inside it.
    std::string file(std::string_view name) const;
    // Writes the bytes to the file inside the folder (replacing it) and returns its path.
    std::string write(std::string_view name, std::string_view bytes) const;
    // The whole content of the file inside the folder ("" when it is missing).
    std::string read(std::string_view name) const;

private:
    std::string m_path;
};
