#include "plugin/PluginLibrary.h"

#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

namespace {

struct Cache
{
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<PluginLibrary>> libraries;
};

// Never destroyed: plug-ins stay loaded until the process ends, and instances that outlive
// static destruction must still find their code.
Cache& cache()
{
    static Cache* instance = new Cache;
    return *instance;
}

std::string dlErrorText()
{
    const char* text = dlerror();
    return text != nullptr ? text : "unknown loader error";
}

template<typename Fn>
Fn symbol(void* handle, const char* name)
{
    // Casting a data pointer to a function pointer is how dlsym is used on POSIX.
    return reinterpret_cast<Fn>(dlsym(handle, name));
}

} // namespace

PluginLibrary::PluginLibrary(std::string path, void* handle)
    : m_path(std::move(path))
    , m_handle(handle)
{ }

PluginLibrary::~PluginLibrary()
{
    if (m_handle != nullptr) {
        dlclose(m_handle);
    }
}

std::shared_ptr<PluginLibrary> PluginLibrary::open(const std::string& givenPath,
                                                   ControlError& error, std::string& text)
{
    error = ControlError::None;
    text.clear();
    std::error_code fsError;
    // An absolute path keeps dlopen from searching the library path for a bare name.
    const std::string path
        = std::filesystem::absolute(givenPath, fsError).lexically_normal().string();
    if (givenPath.empty() || fsError || !std::filesystem::is_regular_file(path, fsError)) {
        error = ControlError::LibraryMissing;
        text = "the plug-in library \"" + givenPath + "\" does not exist or is not a file";
        return nullptr;
    }

    Cache& libraries = cache();
    const std::lock_guard lock(libraries.mutex);
    if (const auto found = libraries.libraries.find(path); found != libraries.libraries.end()) {
        return found->second;
    }
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = ControlError::LibraryNotLoadable;
        text = "cannot load the plug-in library " + path + ": " + dlErrorText();
        return nullptr;
    }
    std::shared_ptr<PluginLibrary> library(new PluginLibrary(path, handle));
    if (!library->resolve(error, text)) {
        return nullptr;
    }
    libraries.libraries.emplace(path, library);
    return library;
}

bool PluginLibrary::resolve(ControlError& error, std::string& text)
{
    const auto missing = [&](const char* name) {
        error = ControlError::EntryPointMissing;
        text = "the library " + m_path + " is not a plug-in: it lacks the entry point " + name;
        return false;
    };
    const auto abiVersion = symbol<NvPluginAbiVersionFn>(m_handle, NV_ENTRY_ABI_VERSION);
    if (abiVersion == nullptr) {
        return missing(NV_ENTRY_ABI_VERSION);
    }
    const std::int32_t version = abiVersion();
    if (version != NV_PLUGIN_ABI_VERSION) {
        error = ControlError::AbiMismatch;
        text = "the plug-in " + m_path + " was built for plug-in interface version "
            + std::to_string(version) + ", this program uses version "
            + std::to_string(NV_PLUGIN_ABI_VERSION);
        return false;
    }
    m_getClassObject = symbol<NvGetClassObjectFn>(m_handle, NV_ENTRY_GET_CLASS_OBJECT);
    m_registerServer = symbol<NvRegisterServerFn>(m_handle, NV_ENTRY_REGISTER_SERVER);
    m_unregisterServer = symbol<NvRegisterServerFn>(m_handle, NV_ENTRY_UNREGISTER_SERVER);
    m_canUnloadNow = symbol<NvCanUnloadNowFn>(m_handle, NV_ENTRY_CAN_UNLOAD_NOW);
    if (m_getClassObject == nullptr) {
        return missing(NV_ENTRY_GET_CLASS_OBJECT);
    }
    if (m_registerServer == nullptr) {
        return missing(NV_ENTRY_REGISTER_SERVER);
    }
    if (m_unregisterServer == nullptr) {
        return missing(NV_ENTRY_UNREGISTER_SERVER);
    }
    if (m_canUnloadNow == nullptr) {
        return missing(NV_ENTRY_CAN_UNLOAD_NOW);
    }
    return true;
}

int PluginLibrary::freeUnused()
{
    Cache& libraries = cache();
    std::vector<std::shared_ptr<PluginLibrary>> idle;
    {
        const std::lock_guard lock(libraries.mutex);
        for (auto it = libraries.libraries.begin(); it != libraries.libraries.end();) {
            // Only the cache holds it, and the plug-in has no object alive.
            if (it->second.use_count() == 1 && it->second->m_canUnloadNow() != 0) {
                idle.push_back(std::move(it->second));
                it = libraries.libraries.erase(it);
            } else {
                ++it;
            }
        }
    }
    // Unloading runs the plug-in's static destructors; do it outside the lock.
    return static_cast<int>(idle.size());
}
