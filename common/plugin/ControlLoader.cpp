#include "plugin/ControlLoader.h"

#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "plugin/ClassId.h"
#include "plugin/ClassRegistry.h"
#include "plugin/PluginLibrary.h"
#include "plugin/PluginLocator.h"

#include <array>

namespace {

// Room for the reason a plug-in gives when it fails to create or register.
constexpr std::size_t errorBufferSize = 1024;

// Asks the host's cancel check; an exception from it must not reach the plug-in.
int isCancelledTrampoline(void* context)
{
    try {
        const auto& check = *static_cast<const std::function<bool()>*>(context);
        return check() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

} // namespace

ControlLoader::ControlLoader(std::shared_ptr<SettingsStore> store)
    : m_store(std::move(store))
{ }

bool ControlLoader::fail(ControlError error, std::string text)
{
    m_lastError = error;
    m_lastErrorText = std::move(text);
    return false;
}

int ControlLoader::freeUnusedLibraries()
{
    return PluginLibrary::freeUnused();
}

DispatchClient ControlLoader::create(std::string_view classId, const ControlOptions& options)
{
    m_lastError = ControlError::None;
    m_lastErrorText.clear();
    const std::string id = ClassId::normalize(classId);
    if (id.empty()) {
        fail(ControlError::InvalidClassId,
             "\"" + std::string(classId) + "\" is not a class identifier");
        return {};
    }
    ClassRegistry registry = m_store ? ClassRegistry(m_store) : ClassRegistry();
    std::string path;
    if (!registry.libraryPath(id, path)) {
        fail(ControlError::NotRegistered,
             "cannot create control " + id + ": " + registry.lastErrorText());
        return {};
    }
    return createFromFile(path, id, options);
}

DispatchClient ControlLoader::createOrRegister(std::string_view classId,
                                               std::string_view pluginName,
                                               const ControlOptions& options)
{
    DispatchClient client = create(classId, options);
    if (client || m_lastError != ControlError::NotRegistered || pluginName.empty()) {
        return client;
    }
    const std::string id = ClassId::normalize(classId);
    const std::string file = PluginLocator::find(pluginName);
    if (file.empty()) {
        fail(ControlError::NotRegistered,
             "the " + std::string(pluginName) + " driver (class " + id
                 + ") is not registered; register it with: " + "norvane-cli regsvr "
                 + PluginLocator::installedPath(pluginName));
        return {};
    }
    if (!registerServer(file)) {
        fail(ControlError::NotRegistered,
             "the " + std::string(pluginName) + " driver is not registered and registering " + file
                 + " failed: " + m_lastErrorText);
        return {};
    }
    LogFile log;
    (void)log.write(LogLevel::Trans, "Local", "Registered the %s driver %s (class %s)",
                    std::string(pluginName).c_str(), file.c_str(), id.c_str());
    return create(classId, options);
}

DispatchClient ControlLoader::createFromFile(const std::string& libraryPath,
                                             std::string_view classId,
                                             const ControlOptions& options)
{
    m_lastError = ControlError::None;
    m_lastErrorText.clear();
    const std::string id = ClassId::normalize(classId);
    if (id.empty()) {
        fail(ControlError::InvalidClassId,
             "\"" + std::string(classId) + "\" is not a class identifier");
        return {};
    }
    ControlError error = ControlError::None;
    std::string text;
    const std::shared_ptr<PluginLibrary> library = PluginLibrary::open(libraryPath, error, text);
    if (!library) {
        fail(error, "cannot create control " + id + ": " + text);
        return {};
    }
    NvClassFactory* factory = nullptr;
    const std::int32_t found = library->getClassObject()(id.c_str(), &factory);
    if (found != NV_OK || factory == nullptr) {
        fail(found == NV_E_UNKNOWN_CLASS ? ControlError::UnknownClass
                                         : ControlError::CreationFailed,
             "cannot create control " + id + ": the plug-in " + library->path()
                 + (found == NV_E_UNKNOWN_CLASS
                        ? std::string(" does not serve this class")
                        : " gave no class factory (" + statusText(found) + ")"));
        return {};
    }

    // The site's callback context must live as long as the instance: the client keeps it.
    auto cancelCheck = options.isCancelled
        ? std::make_unique<std::function<bool()>>(options.isCancelled)
        : nullptr;
    NvHostSite site {};
    site.size = sizeof site;
    site.flags = options.showProgress ? NV_SITE_SHOW_PROGRESS : 0u;
    site.parentWindow = options.parentWindow;
    site.isCancelled = cancelCheck ? &isCancelledTrampoline : nullptr;
    site.cancelContext = cancelCheck.get();

    NvDispatch* dispatch = nullptr;
    std::array<char, errorBufferSize> reason {};
    const std::int32_t created
        = factory->vtbl->createInstance(factory, &site, &dispatch, reason.data(), reason.size());
    factory->vtbl->release(factory);
    if (created != NV_OK || dispatch == nullptr) {
        const std::string why
            = reason[0] != '\0' ? std::string(reason.data()) : statusText(created);
        fail(ControlError::CreationFailed,
             "cannot create control " + id + " from " + library->path() + ": " + why);
        return {};
    }
    return DispatchClient(dispatch, library, id, std::move(cancelCheck));
}

bool ControlLoader::registerServer(const std::string& libraryPath)
{
    return runRegistration(libraryPath, true);
}

bool ControlLoader::unregisterServer(const std::string& libraryPath)
{
    return runRegistration(libraryPath, false);
}

bool ControlLoader::runRegistration(const std::string& libraryPath, bool doRegister)
{
    m_lastError = ControlError::None;
    m_lastErrorText.clear();
    const char* action = doRegister ? "register" : "unregister";
    ControlError error = ControlError::None;
    std::string text;
    const std::shared_ptr<PluginLibrary> library = PluginLibrary::open(libraryPath, error, text);
    if (!library) {
        return fail(error, std::string("cannot ") + action + " the plug-in: " + text);
    }
    std::array<char, errorBufferSize> reason {};
    const NvRegisterServerFn entry
        = doRegister ? library->registerServer() : library->unregisterServer();
    const std::int32_t status = entry(reason.data(), reason.size());
    if (status != NV_OK) {
        const std::string why = reason[0] != '\0' ? std::string(reason.data()) : statusText(status);
        return fail(ControlError::RegistrationFailed,
                    std::string("cannot ") + action + " the plug-in " + library->path() + ": "
                        + why);
    }
    return true;
}
