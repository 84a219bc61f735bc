#include "shell/DriverInventory.h"

#include "plugin/ClassRegistry.h"
#include "plugin/ControlError.h"
#include "plugin/PluginLibrary.h"
#include "plugin/PluginLocator.h"
#include "sending/CKestrel.h"
#include "sending/CPlover.h"
#include "settings/SettingsStore.h"

namespace {

std::string defaultValue(SettingsStore& store, const std::string& key)
{
    const auto value = store.value(key, "");
    return value && value->type == ValueType::String ? value->data : std::string();
}

DriverInventory::Driver look(std::string_view name, std::string_view protocol,
                             std::string_view classId)
{
    DriverInventory::Driver driver;
    driver.name = std::string(name);
    driver.protocol = std::string(protocol);
    const std::shared_ptr<SettingsStore> store = SettingsStore::current();
    ClassRegistry registry(store);
    if (!registry.libraryPath(classId, driver.path)) {
        driver.path = PluginLocator::find(name);
        driver.problem = driver.path.empty()
            ? "not registered, and lib" + driver.name
                + ".so is not beside the program: run norvane-cli regsvr "
                + PluginLocator::installedPath(name)
            : "not registered yet: the first send registers " + driver.path;
        return driver;
    }
    const std::string classKey = ClassRegistry::classKeyName(classId);
    driver.typeName = defaultValue(*store, classKey);
    // The version is the last part of the registered program identifier, as a versioned
    // identifier ("KESTREL.KestrelCtrl.1") carries it.
    const std::string progId = defaultValue(*store, classKey + "\\ProgID");
    const std::size_t dot = progId.rfind('.');
    if (dot != std::string::npos && dot + 1 < progId.size()) {
        driver.version = progId.substr(dot + 1);
    }
    ControlError error = ControlError::None;
    std::string why;
    if (!PluginLibrary::open(driver.path, error, why)) {
        driver.problem = "registered, but " + driver.path + " does not load (" + why
            + "): run norvane-cli regsvr with the plug-in's file";
        return driver;
    }
    driver.found = true;
    return driver;
}

} // namespace

std::vector<DriverInventory::Driver> DriverInventory::find()
{
    return {look(CKestrel::pluginName, "IXO/TAP", CKestrel::controlClassId),
            look(CPlover::pluginName, "SNPP", CPlover::controlClassId)};
}

std::string DriverInventory::describe(const Driver& driver)
{
    std::string text = driver.protocol + " driver (" + driver.name + "): ";
    if (!driver.found) {
        return text + driver.problem;
    }
    text += driver.version.empty() ? std::string("version not registered")
                                   : "version " + driver.version;
    if (!driver.typeName.empty()) {
        text += ", " + driver.typeName;
    }
    return text + ", " + driver.path;
}
