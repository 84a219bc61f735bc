#include "PluginFiles.h"
#include "ScopedRegistry.h"
#include "TestClassIds.h"
#include "plugin/ClassRegistry.h"
#include "plugin/ControlLoader.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

using namespace TestClassIds;

namespace {

std::string stringValue(const std::string& key, const std::string& name = "")
{
    const auto value = SettingsStore::current()->value(key, name);
    return value && value->type == ValueType::String ? value->data : "<missing>";
}

TEST(Registration, ThePluginWritesItsEntriesWithItsOwnPath)
{
    ScopedRegistry scoped;
    ControlLoader loader;
    ASSERT_TRUE(loader.registerServer(PluginFiles::testPlugin)) << loader.lastErrorText();

    const std::string path = std::filesystem::absolute(PluginFiles::testPlugin).string();
    struct Expected
    {
        const char* classId;
        const char* progId;
        const char* typeName;
    };
    for (const Expected& e : {Expected {driver, driverProgId, driverTypeName},
                              Expected {echo, echoProgId, echoTypeName},
                              Expected {broken, brokenProgId, "Norvane Broken Test Class"}}) {
        const std::string key = ClassRegistry::classKeyName(e.classId);
        EXPECT_EQ(stringValue(key), e.typeName) << key;
        EXPECT_EQ(stringValue(key + "\\InprocServer32"), path) << key;
        EXPECT_EQ(stringValue(key + "\\InprocServer32", "ThreadingModel"), "Apartment") << key;
        EXPECT_EQ(stringValue(key + "\\ProgID"), e.progId) << key;
        EXPECT_EQ(stringValue(ClassRegistry::progIdKeyName(e.progId) + "\\CLSID"), e.classId);
    }
    // The store file holds the entries in the registry export layout.
    const std::string file = scoped.dir().read("registry.reg");
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\SOFTWARE\\Classes\\CLSID\\" + std::string(driver)
                        + "\\InprocServer32]"),
              std::string::npos)
        << file;
}

TEST(Registration, UnregisterRemovesTheEntriesAndNothingElse)
{
    ScopedRegistry scoped;
    auto store = SettingsStore::current();
    ASSERT_TRUE(
        store->setValue("HKEY_CURRENT_USER\\SOFTWARE\\Classes\\Other.Thing\\CLSID",
                        SettingsValue::makeString("", "{00000000-0000-0000-0000-000000000001}")));
    ControlLoader loader;
    ASSERT_TRUE(loader.registerServer(PluginFiles::testPlugin)) << loader.lastErrorText();
    ASSERT_TRUE(loader.unregisterServer(PluginFiles::testPlugin)) << loader.lastErrorText();
    for (const char* id : {driver, echo, broken}) {
        EXPECT_FALSE(store->keyExists(ClassRegistry::classKeyName(id))) << id;
    }
    for (const char* progId : {driverProgId, echoProgId, brokenProgId}) {
        EXPECT_FALSE(store->keyExists(ClassRegistry::progIdKeyName(progId))) << progId;
    }
    EXPECT_TRUE(store->keyExists("HKEY_CURRENT_USER\\SOFTWARE\\Classes\\Other.Thing\\CLSID"));

    // The class can no longer be created; unregistering again is harmless.
    DispatchClient client = loader.create(driver);
    EXPECT_EQ(loader.lastError(), ControlError::NotRegistered);
    EXPECT_TRUE(loader.unregisterServer(PluginFiles::testPlugin)) << loader.lastErrorText();
}

TEST(Registration, RefusesFilesThatAreNotPlugins)
{
    ScopedRegistry scoped;
    ControlLoader loader;
    EXPECT_FALSE(loader.registerServer(scoped.dir().file("absent.so")));
    EXPECT_EQ(loader.lastError(), ControlError::LibraryMissing);
    EXPECT_NE(loader.lastErrorText().find("cannot register the plug-in"), std::string::npos);

    EXPECT_FALSE(loader.registerServer(scoped.dir().write("fake.so",
                                                          "\x7f"
                                                          "ELF garbage")));
    EXPECT_EQ(loader.lastError(), ControlError::LibraryNotLoadable);

    EXPECT_FALSE(loader.unregisterServer(PluginFiles::badAbi));
    EXPECT_EQ(loader.lastError(), ControlError::AbiMismatch);
    EXPECT_NE(loader.lastErrorText().find("cannot unregister"), std::string::npos);

    EXPECT_FALSE(loader.registerServer(PluginFiles::noEntry));
    EXPECT_EQ(loader.lastError(), ControlError::EntryPointMissing);
    EXPECT_FALSE(loader.registerServer(""));
    EXPECT_EQ(loader.lastError(), ControlError::LibraryMissing);
}

TEST(Registration, AStoreThatCannotBeWrittenFailsTheRegistration)
{
    ScopedRegistry scoped;
    // The store's folder would have to live below a plain file.
    const std::string blocker = scoped.dir().write("blocker", "file");
    setenv("NORVANE_REGISTRY", (blocker + "/registry.reg").c_str(), 1);
    ControlLoader loader;
    EXPECT_FALSE(loader.registerServer(PluginFiles::testPlugin));
    EXPECT_EQ(loader.lastError(), ControlError::RegistrationFailed);
    EXPECT_NE(loader.lastErrorText().find("cannot register the plug-in"), std::string::npos)
        << loader.lastErrorText();
    EXPECT_NE(loader.lastErrorText().find("blocker"), std::string::npos) << loader.lastErrorText();
}

// Whether a mangled name belongs to namespace std. Instantiations of the standard library's
// templates over its own types keep its default visibility; they are the same code in host
// and plug-in, so sharing them is harmless.
bool isStdSymbol(std::string_view name)
{
    if (name.rfind("_Z", 0) != 0) {
        return false;
    }
    name.remove_prefix(2);
    for (std::string_view prefix : {"Z", "GV", "TI", "TS", "TV", "TH", "TW"}) {
        if (name.rfind(prefix, 0) == 0) {
            name.remove_prefix(prefix.size());
            break;
        }
    }
    if (name.rfind("N", 0) == 0) {
        name.remove_prefix(1);
    }
    if (name.rfind("K", 0) == 0) {
        name.remove_prefix(1);
    }
    return name.rfind("St", 0) == 0;
}

// The build hides everything but the entry points: the plug-in's copy of the common library
// must not be visible to (or bind to) the host's.
TEST(Registration, ThePluginExportsOnlyItsEntryPoints)
{
    const std::string command
        = "nm -D --defined-only --format=posix '" + std::string(PluginFiles::testPlugin) + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> symbols;
    char line[8192];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string name;
        fields >> name;
        symbols.insert(name);
    }
    ASSERT_EQ(pclose(pipe), 0) << command;
    const std::set<std::string> entryPoints {"nvPluginAbiVersion", "nvGetClassObject",
                                             "nvRegisterServer", "nvUnregisterServer",
                                             "nvCanUnloadNow"};
    for (const std::string& name : entryPoints) {
        EXPECT_TRUE(symbols.count(name)) << name << " is not exported";
    }
    for (const std::string& name : symbols) {
        const bool runtime = name.rfind("_init", 0) == 0 || name.rfind("_fini", 0) == 0
            || name.rfind("__", 0) == 0;
        EXPECT_TRUE(entryPoints.count(name) || isStdSymbol(name) || runtime)
            << name << " is exported";
    }
}

} // namespace
