#include "plugin/ClassRegistry.h"

#include "ScopedRegistry.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* classId = "{EDFD8418-26BA-11D2-AC37-000000000000}";
constexpr const char* classKey = "HKEY_CURRENT_USER\\SOFTWARE\\Classes\\CLSID\\{EDFD8418-26BA-11D2-"
                                 "AC37-000000000000}";

std::string defaultValue(const std::string& key, const std::string& name = "")
{
    const auto value = SettingsStore::current()->value(key, name);
    return value && value->type == ValueType::String ? value->data : "<missing>";
}

ClassRegistration kestrelEntry()
{
    return {"edfd8418-26ba-11d2-ac37-000000000000", "KESTREL.KestrelCtrl.1",
            "Tessal Kestrel Driver", "/opt/norvane/lib/libkestrel.so"};
}

TEST(ClassRegistry, WritesTheEntriesInTheRegistryLayout)
{
    ScopedRegistry scoped;
    ClassRegistry registry;
    ASSERT_TRUE(registry.registerClass(kestrelEntry())) << registry.lastErrorText();

    const std::string key = classKey;
    EXPECT_EQ(defaultValue(key), "Tessal Kestrel Driver");
    EXPECT_EQ(defaultValue(key + "\\InprocServer32"), "/opt/norvane/lib/libkestrel.so");
    EXPECT_EQ(defaultValue(key + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(defaultValue(key + "\\ProgID"), "KESTREL.KestrelCtrl.1");
    EXPECT_EQ(defaultValue("HKEY_CURRENT_USER\\SOFTWARE\\Classes\\KESTREL.KestrelCtrl.1\\CLSID"),
              classId);

    std::string path;
    ASSERT_TRUE(registry.libraryPath("{EDFD8418-26ba-11d2-AC37-000000000000}", path));
    EXPECT_EQ(path, "/opt/norvane/lib/libkestrel.so");
    std::string id;
    ASSERT_TRUE(registry.classIdOfProgId("kestrel.kestrelctrl.1", id));
    EXPECT_EQ(id, classId);
}

TEST(ClassRegistry, LookupOfAnUnregisteredClassFailsAndCreatesNothing)
{
    ScopedRegistry scoped;
    ClassRegistry registry;
    std::string path = "stale";
    EXPECT_FALSE(registry.libraryPath(classId, path));
    EXPECT_EQ(path, "");
    EXPECT_NE(registry.lastErrorText().find("not registered"), std::string::npos);
    EXPECT_NE(registry.lastErrorText().find(classId), std::string::npos);
    EXPECT_FALSE(SettingsStore::current()->keyExists(classKey));

    std::string id;
    EXPECT_FALSE(registry.classIdOfProgId("KESTREL.KestrelCtrl.1", id));
    EXPECT_FALSE(registry.libraryPath("not a class id", path));
}

TEST(ClassRegistry, UnregisterRemovesTheEntriesButKeepsAProgIdTakenByAnotherClass)
{
    ScopedRegistry scoped;
    ClassRegistry registry;
    ASSERT_TRUE(registry.registerClass(kestrelEntry()));
    ClassRegistration other {"{518B4086-2747-11D2-AC39-000000000000}", "SHARED.Name.1", "Other",
                             "/x/libother.so"};
    ASSERT_TRUE(registry.registerClass(other));

    // The kestrel class claims the shared program identifier too, then the other takes it back.
    ClassRegistration claim = kestrelEntry();
    claim.progId = "SHARED.Name.1";
    ASSERT_TRUE(registry.registerClass(claim));
    ASSERT_TRUE(registry.registerClass(other));

    ASSERT_TRUE(registry.unregisterClass(classId, "SHARED.Name.1")) << registry.lastErrorText();
    ASSERT_TRUE(registry.unregisterClass(classId, "KESTREL.KestrelCtrl.1"));
    auto store = SettingsStore::current();
    EXPECT_FALSE(store->keyExists(classKey));
    EXPECT_FALSE(store->keyExists("HKEY_CURRENT_USER\\SOFTWARE\\Classes\\KESTREL.KestrelCtrl.1"));
    std::string id;
    ASSERT_TRUE(registry.classIdOfProgId("SHARED.Name.1", id));
    EXPECT_EQ(id, "{518B4086-2747-11D2-AC39-000000000000}");

    // Removing what is already gone succeeds.
    EXPECT_TRUE(registry.unregisterClass(classId, "KESTREL.KestrelCtrl.1"));
}

TEST(ClassRegistry, RejectsMalformedRegistrations)
{
    ScopedRegistry scoped;
    ClassRegistry registry;
    ClassRegistration bad = kestrelEntry();
    bad.classId = "EDFD8418";
    EXPECT_FALSE(registry.registerClass(bad));
    EXPECT_NE(registry.lastErrorText().find("EDFD8418"), std::string::npos);

    bad = kestrelEntry();
    bad.libraryPath.clear();
    EXPECT_FALSE(registry.registerClass(bad));

    bad = kestrelEntry();
    bad.progId = "SOFTWARE\\Evil";
    EXPECT_FALSE(registry.registerClass(bad));
    EXPECT_FALSE(SettingsStore::current()->keyExists(classKey));
}

} // namespace
