#include "FuzzScratch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

std::string makeFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/norvane-fuzz-XXXXXX";
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
