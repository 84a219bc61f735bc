#include "CompanionViewModule.h"

#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <mutex>

namespace CompanionViewModule {

namespace {

// The entry points found so far, by module path; a module that failed to load is tried
// again next time (it may have been installed since).
std::mutex s_mutex;
std::map<std::string, CreateFunction> s_entries;

CreateFunction findEntry(const std::string& modulePath, std::string& error)
{
    const std::lock_guard<std::mutex> guard(s_mutex);
    if (const auto found = s_entries.find(modulePath); found != s_entries.end()) {
        return found->second;
    }
    void* handle = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = "cannot load the progress window module " + modulePath + ": "
            + (reason != nullptr ? reason : "unknown error");
        return nullptr;
    }
    auto entry = reinterpret_cast<CreateFunction>(dlsym(handle, entryName));
    if (entry == nullptr) {
        error = "the progress window module " + modulePath + " has no entry point " + entryName;
        dlclose(handle);
        return nullptr;
    }
    s_entries.emplace(modulePath, entry);
    return entry;
}

} // namespace

std::string besideLibrary(const std::string& libraryPath, const std::string& fileName)
{
    if (libraryPath.empty()) {
        return fileName;
    }
    return (std::filesystem::path(libraryPath).parent_path() / fileName).string();
}

std::unique_ptr<ProgressView> createView(const std::string& modulePath,
                                         const ProgressViewSpec& spec, std::string& error)
{
    error.clear();
    const CreateFunction entry = findEntry(modulePath, error);
    if (entry == nullptr) {
        return nullptr;
    }
    std::unique_ptr<ProgressView> view(entry(abiVersion, &spec));
    if (!view) {
        error = "the progress window module " + modulePath
            + " made no view (no GUI application, or a different interface version)";
    }
    return view;
}

} // namespace CompanionViewModule
