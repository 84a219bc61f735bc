#pragma once

#include "plugin/DispatchControl.h"
#include "plugin/HostSite.h"
#include "plugin/PluginAbi.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One control class a plug-in serves.
struct PluginClass
{
    std::string_view classId; // "{...}"
    std::string_view progId; // e.g. "KESTREL.KestrelCtrl.1"
    std::string_view typeName; // e.g. "Tessal Kestrel Driver"
    // Makes a new instance for the host's site; may throw or return null to fail.
    std::unique_ptr<DispatchControl> (*create)(const HostSite& site);
};

// The plug-in side of the entry points, driven by a table of classes: class factories,
// self-registration in the settings store under the library's own path, and the count of
// live objects that decides whether the library may be unloaded. Each plug-in keeps one
// (a function-local static) and exports it with NV_PLUGIN_ENTRY_POINTS.
class PluginModule
{
public:
    // A module serving the given classes.
    explicit PluginModule(std::vector<PluginClass> classes);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // nvGetClassObject: the factory of the class, or NV_E_UNKNOWN_CLASS.
    [[nodiscard]] std::int32_t getClassObject(const char* classId, NvClassFactory** out) noexcept;
    // nvRegisterServer: writes the entries of every class.
    [[nodiscard]] std::int32_t registerServer(char* errorText,
                                              std::uint32_t errorTextSize) noexcept;
    // nvUnregisterServer: removes the entries of every class.
    [[nodiscard]] std::int32_t unregisterServer(char* errorText,
                                                std::uint32_t errorTextSize) noexcept;
    // nvCanUnloadNow: 1 when no instance or factory is alive.
    std::int32_t canUnloadNow() const noexcept;

    // Counts a live object of the module (an instance or a factory handed out).
    void lock() noexcept { m_locks.fetch_add(1); }
    // Ends the count of one live object.
    void unlock() noexcept { m_locks.fetch_sub(1); }

    // The absolute path of the shared library (or program) this code is linked into.
    static std::string libraryPath();
    // Copies text into a caller's buffer of `size` bytes, cut to fit, always terminated.
    static void copyText(std::string_view text, char* buffer, std::uint32_t size) noexcept;

private:
    struct Factory;

    static std::int32_t createInstanceEntry(NvClassFactory* self, const NvHostSite* site,
                                            NvDispatch** out, char* errorText,
                                            std::uint32_t errorTextSize) noexcept;
    static void releaseEntry(NvClassFactory* self) noexcept;
    static const NvClassFactoryVtbl s_factoryVtbl;

    std::vector<PluginClass> m_classes;
    std::vector<std::unique_ptr<Factory>> m_factories;
    std::atomic<int> m_locks {0};
};

// Defines the exported C entry points of a plug-in, each a one-line call into the module
// that `moduleFunction()` returns (a PluginModule&, made on first use). Even making the
// module cannot throw into the host: that ends as a failure status.
#define NV_PLUGIN_ENTRY_POINTS(moduleFunction)                                                     \
    extern "C" int32_t nvPluginAbiVersion(void)                                                    \
    {                                                                                              \
        return NV_PLUGIN_ABI_VERSION;                                                              \
    }                                                                                              \
    extern "C" int32_t nvGetClassObject(const char* classId, NvClassFactory** out)                 \
    {                                                                                              \
        try {                                                                                      \
            return moduleFunction().getClassObject(classId, out);                                  \
        } catch (...) {                                                                            \
            return NV_E_FAILED;                                                                    \
        }                                                                                          \
    }                                                                                              \
    extern "C" int32_t nvRegisterServer(char* errorText, uint32_t size)                            \
    {                                                                                              \
        try {                                                                                      \
            return moduleFunction().registerServer(errorText, size);                               \
        } catch (...) {                                                                            \
            return NV_E_FAILED;                                                                    \
        }                                                                                          \
    }                                                                                              \
    extern "C" int32_t nvUnregisterServer(char* errorText, uint32_t size)                          \
    {                                                                                              \
        try {                                                                                      \
            return moduleFunction().unregisterServer(errorText, size);                             \
        } catch (...) {                                                                            \
            return NV_E_FAILED;                                                                    \
        }                                                                                          \
    }                                                                                              \
    extern "C" int32_t nvCanUnloadNow(void)                                                        \
    {                                                                                              \
        try {                                                                                      \
            return moduleFunction().canUnloadNow();                                                \
        } catch (...) {                                                                            \
            return 0;                                                                              \
        }                                                                                          \
    }
