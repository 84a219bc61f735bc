#include "plugin/PluginModule.h"

#include "plugin/ClassId.h"
#include "plugin/ClassRegistry.h"
#include "plugin/ControlShell.h"

#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <type_traits>

// A factory handed to the host: the C object first, so its address is the object's.
struct PluginModule::Factory
{
    NvClassFactory factory;
    PluginModule* module;
    const PluginClass* cls;
};

const NvClassFactoryVtbl PluginModule::s_factoryVtbl
    = {&PluginModule::createInstanceEntry, &PluginModule::releaseEntry};

PluginModule::PluginModule(std::vector<PluginClass> classes)
    : m_classes(std::move(classes))
{
    static_assert(std::is_standard_layout_v<Factory>);
    for (const PluginClass& cls : m_classes) {
        m_factories.push_back(std::make_unique<Factory>(Factory {{&s_factoryVtbl}, this, &cls}));
    }
}

PluginModule::~PluginModule() = default;

void PluginModule::copyText(std::string_view text, char* buffer, std::uint32_t size) noexcept
{
    if (buffer == nullptr || size == 0) {
        return;
    }
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

std::string PluginModule::libraryPath()
{
    // The address of code in this file lies in whichever image linked the file in: the
    // plug-in's own copy of the common library, never the host's.
    Dl_info info {};
    if (dladdr(reinterpret_cast<void*>(&PluginModule::copyText), &info) == 0
        || info.dli_fname == nullptr) {
        return {};
    }
    std::error_code error;
    const auto path = std::filesystem::absolute(info.dli_fname, error);
    return error ? std::string(info.dli_fname) : path.lexically_normal().string();
}

std::int32_t PluginModule::getClassObject(const char* classId, NvClassFactory** out) noexcept
{
    if (out == nullptr) {
        return NV_E_INVALID_ARGUMENT;
    }
    *out = nullptr;
    if (classId == nullptr) {
        return NV_E_INVALID_ARGUMENT;
    }
    try {
        for (const auto& factory : m_factories) {
            if (ClassId::equal(factory->cls->classId, classId)) {
                lock();
                *out = &factory->factory;
                return NV_OK;
            }
        }
        return NV_E_UNKNOWN_CLASS;
    } catch (...) {
        return NV_E_FAILED;
    }
}

std::int32_t PluginModule::createInstanceEntry(NvClassFactory* self, const NvHostSite* site,
                                               NvDispatch** out, char* errorText,
                                               std::uint32_t errorTextSize) noexcept
{
    copyText("", errorText, errorTextSize);
    if (out == nullptr || self == nullptr) {
        copyText("createInstance was given a null pointer", errorText, errorTextSize);
        return NV_E_INVALID_ARGUMENT;
    }
    *out = nullptr;
    const Factory& factory = *reinterpret_cast<Factory*>(self);
    const PluginClass& cls = *factory.cls;
    try {
        std::unique_ptr<DispatchControl> control = cls.create(HostSite(site));
        if (!control) {
            copyText("the class " + std::string(cls.typeName) + " " + std::string(cls.classId)
                         + " made no instance",
                     errorText, errorTextSize);
            return NV_E_FAILED;
        }
        *out = ControlShell::wrap(std::move(control), *factory.module);
        return NV_OK;
    } catch (const std::exception& e) {
        try {
            copyText("creating " + std::string(cls.typeName) + " " + std::string(cls.classId)
                         + " threw an exception: " + e.what(),
                     errorText, errorTextSize);
        } catch (...) {
            copyText(e.what(), errorText, errorTextSize);
        }
    } catch (...) {
        copyText("creating the instance threw an exception of unknown type", errorText,
                 errorTextSize);
    }
    return NV_E_FAILED;
}

void PluginModule::releaseEntry(NvClassFactory* self) noexcept
{
    if (self != nullptr) {
        reinterpret_cast<Factory*>(self)->module->unlock();
    }
}

std::int32_t PluginModule::registerServer(char* errorText, std::uint32_t errorTextSize) noexcept
{
    copyText("", errorText, errorTextSize);
    try {
        const std::string path = libraryPath();
        if (path.empty()) {
            copyText("the plug-in cannot find its own library path", errorText, errorTextSize);
            return NV_E_REGISTRATION;
        }
        ClassRegistry registry;
        for (const PluginClass& cls : m_classes) {
            const ClassRegistration entry {std::string(cls.classId), std::string(cls.progId),
                                           std::string(cls.typeName), path};
            if (!registry.registerClass(entry)) {
                copyText(registry.lastErrorText(), errorText, errorTextSize);
                return NV_E_REGISTRATION;
            }
        }
        return NV_OK;
    } catch (const std::exception& e) {
        copyText(e.what(), errorText, errorTextSize);
        return NV_E_FAILED;
    }
}

std::int32_t PluginModule::unregisterServer(char* errorText, std::uint32_t errorTextSize) noexcept
{
    copyText("", errorText, errorTextSize);
    try {
        ClassRegistry registry;
        // Go on past a failing class so one bad entry does not leave the others behind.
        std::int32_t status = NV_OK;
        for (const PluginClass& cls : m_classes) {
            if (!registry.unregisterClass(cls.classId, cls.progId) && status == NV_OK) {
                copyText(registry.lastErrorText(), errorText, errorTextSize);
                status = NV_E_REGISTRATION;
            }
        }
        return status;
    } catch (const std::exception& e) {
        copyText(e.what(), errorText, errorTextSize);
        return NV_E_FAILED;
    }
}

std::int32_t PluginModule::canUnloadNow() const noexcept
{
    return m_locks.load() == 0 ? 1 : 0;
}
