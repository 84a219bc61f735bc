#include "FuzzScratch.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <unistd.h>

namespace {

constexpr std::string_view prefix = "norvane-fuzz-";

// Folders of runs that ended in a finding: an abort skips the removal at exit. Each folder
// name carries its process id, and only those of processes that are gone are removed.
void removeStale(const std::string& folder)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0) {
            continue;
        }
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::filesystem::remove_all(entry.path(), error);
        }
    }
}

std::string makeFolder()
{
    // A memory file system where there is one: the targets write files at every run, and a
    // disk shared with other work makes that the slowest part by far.
    const char* base = std::getenv("TMPDIR");
    std::string folder = base && *base ? base : "/tmp";
    if (!(base && *base) && ::access("/dev/shm", W_OK) == 0) {
        folder = "/dev/shm";
    }
    removeStale(folder);
    std::string pattern
        = folder + "/" + std::string(prefix) + std::to_string(::getpid()) + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("cannot make the fuzz target's scratch folder");
        std::abort();
    }
    // The settings store is left missing: every setting reads as its default.
    ::setenv("NORVANE_REGISTRY", (pattern + "/registry.dat").c_str(), 1);
    static const std::string removeAtExit = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(removeAtExit, ignored);
    });
    return pattern;
}

} // namespace

const std::string& FuzzScratch::folder()
{
    static const std::string made = makeFolder();
    return made;
}

std::string FuzzScratch::path(std::string_view name)
{
    return folder() + "/" + std::string(name);
}

void FuzzScratch::writeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write the fuzz input to %s\n", path.c_str());
        std::abort();
    }
}
