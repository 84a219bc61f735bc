#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// A private settings store and log in a fresh temporary folder for one benchmark.
class BenchEnvironment
{
public:
    BenchEnvironment()
    {
        std::string pattern
            = (std::filesystem::temp_directory_path() / "norvane-bench-XXXXXX").string();
        m_folder = mkdtemp(pattern.data()) ? pattern : std::string("/tmp");
        setenv("NORVANE_REGISTRY", (m_folder + "/registry.reg").c_str(), 1);
    }
    ~BenchEnvironment()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
        unsetenv("NORVANE_REGISTRY");
    }
    BenchEnvironment(const BenchEnvironment&) = delete;
    BenchEnvironment& operator=(const BenchEnvironment&) = delete;
    std::string file(const std::string& name) const { return m_folder + "/" + name; }

private:
    std::string m_folder;
};
