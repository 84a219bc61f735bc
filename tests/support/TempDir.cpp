#include "TempDir.h"

#include "TestFailure.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "norvane-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        testFailure("cannot make a temporary folder from " + pattern);
    }
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::file(std::string_view name) const
{
    return m_path + "/" + std::string(name);
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const
{
    const std::string path = file(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        testFailure("cannot write " + path);
    }
    return path;
}

std::string TempDir::read(std::string_view name) const
{
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
