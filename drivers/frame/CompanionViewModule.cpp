#include "frame/CompanionViewModule.h"

#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <mutex>

namespace CompanionViewModule {

namespace {

// The modules loaded so far, by path; a module that failed to load is tried again next time
// (it may have been installed since).
std::mutex s_mutex;
std::map<std::string, void*> s_modules;

void* loadModule(const std::string& modulePath, std::string& error)
{
    const std::lock_guard<std::mutex> guard(s_mutex);
    if (const auto found = s_modules.find(modulePath); found != s_modules.end()) {
        return found->second;
    }
    void* handle = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = "cannot load the GUI module " + modulePath + ": "
            + (reason != nullptr ? reason : "unknown error");
        return nullptr;
    }
    s_modules.emplace(modulePath, handle);
    return handle;
}

} // namespace

std::string besideLibrary(const std::string& libraryPath, const std::string& fileName)
{
    if (libraryPath.empty()) {
        return fileName;
    }
    return (std::filesystem::path(libraryPath).parent_path() / fileName).string();
}

void* entryPoint(const std::string& modulePath, const char* name, std::string& error)
{
    error.clear();
    void* handle = loadModule(modulePath, error);
    if (handle == nullptr) {
        return nullptr;
    }
    void* entry = dlsym(handle, name);
    if (entry == nullptr) {
        error = "the GUI module " + modulePath + " has no entry point " + name;
    }
    return entry;
}

std::unique_ptr<ProgressView> createView(const std::string& modulePath,
                                         const ProgressViewSetup& setup, std::string& error)
{
    const auto entry = reinterpret_cast<CreateFunction>(entryPoint(modulePath, entryName, error));
    if (entry == nullptr) {
        return nullptr;
    }
    std::unique_ptr<ProgressView> view(entry(abiVersion, &setup));
    if (!view) {
        error = "the progress window module " + modulePath
            + " made no view (no GUI application, or a different interface version)";
    }
    return view;
}

} // namespace CompanionViewModule
