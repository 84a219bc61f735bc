#include "settings/SettingsKey.h"

#include "ScopedRegistry.h"

#include <gtest/gtest.h>

namespace {

constexpr std::string_view keyPath = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Test";

TEST(SettingsKey, OpeningCreatesTheKeyAndReadsGiveDefaults)
{
    ScopedRegistry registry;
    SettingsKey key(RootKey::CurrentUser, keyPath);
    ASSERT_TRUE(key.isOpen());
    EXPECT_TRUE(key.wasCreated());
    std::string text = "junk";
    EXPECT_FALSE(key.getString("missing", text, 128, "fallback"));
    EXPECT_EQ(text, "fallback");
    EXPECT_FALSE(key.getString("missing", text, 128));
    EXPECT_EQ(text, "");
    EXPECT_EQ(key.getNumber("missing", 17), 17);
    EXPECT_TRUE(key.getBool("missing", true));
    std::string name, data;
    EXPECT_FALSE(key.enumValue(0, name, data));

    EXPECT_TRUE(SettingsStore::current()->keyExists("HKCU\\SOFTWARE\\Tessal\\Norvane"));
    SettingsKey again(RootKey::CurrentUser, keyPath);
    EXPECT_FALSE(again.wasCreated());
}

struct Mismatch
{
    const char* label;
    SettingsValue stored;
};

class SettingsKeyMismatch : public testing::TestWithParam<Mismatch>
{ };

// A value of another type than asked for reads as missing.
TEST_P(SettingsKeyMismatch, ReadsTheDefault)
{
    ScopedRegistry registry;
    ASSERT_TRUE(SettingsStore::current()->setValue(
        std::string("HKEY_CURRENT_USER\\") + std::string(keyPath), GetParam().stored));
    const SettingsKey key(RootKey::CurrentUser, keyPath);
    const std::string& name = GetParam().stored.name;
    std::string text;
    std::string bytes;
    switch (GetParam().stored.type) {
    case ValueType::String:
        EXPECT_EQ(key.getNumber(name, 50), 50);
        EXPECT_FALSE(key.getBinary(name, bytes, 64));
        break;
    case ValueType::Number:
        EXPECT_FALSE(key.getString(name, text, 128, "d"));
        EXPECT_EQ(text, "d");
        EXPECT_FALSE(key.getBinary(name, bytes, 64));
        break;
    case ValueType::Binary:
        EXPECT_FALSE(key.getString(name, text, 128, "d"));
        EXPECT_EQ(key.getNumber(name, 50), 50);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Types, SettingsKeyMismatch,
                         testing::Values(Mismatch {"string", SettingsValue::makeString("v", "12")},
                                         Mismatch {"number", SettingsValue::makeNumber("v", 12)},
                                         Mismatch {"binary", SettingsValue::makeBinary("v", "12")}),
                         [](const auto& p) { return p.param.label; });

TEST(SettingsKey, StringMustFitTheBufferWithItsTerminator)
{
    ScopedRegistry registry;
    SettingsKey key(RootKey::CurrentUser, keyPath);
    ASSERT_TRUE(key.setString("path", std::string(127, 'x')));
    std::string text;
    EXPECT_TRUE(key.getString("path", text, 128));
    EXPECT_EQ(text.size(), 127u);
    ASSERT_TRUE(key.setString("path", std::string(128, 'x')));
    EXPECT_FALSE(key.getString("path", text, 128, "short"));
    EXPECT_EQ(text, "short");
}

TEST(SettingsKey, TypedWritesReadBack)
{
    ScopedRegistry registry;
    SettingsKey key(RootKey::CurrentUser, keyPath);
    EXPECT_TRUE(key.setBool("flag", true));
    EXPECT_EQ(key.getNumber("flag", 0), 1);
    EXPECT_TRUE(key.setBool("flag", false));
    EXPECT_FALSE(key.getBool("flag", true));
    EXPECT_TRUE(key.setNumber("level", -3));
    EXPECT_EQ(key.getNumber("level", 0), -3);
    EXPECT_TRUE(key.setString("Name", "value"));
    std::string text;
    EXPECT_TRUE(key.getString("NAME", text, 128));
    EXPECT_EQ(text, "value");

    // A binary value is not returned by a key that this open created.
    EXPECT_TRUE(key.setBinary("blob", std::string("\x00\x01\x02", 3)));
    std::string bytes;
    EXPECT_FALSE(key.getBinary("blob", bytes, 16));
    const SettingsKey reopened(RootKey::CurrentUser, keyPath);
    EXPECT_TRUE(reopened.getBinary("blob", bytes, 16));
    EXPECT_EQ(bytes, std::string("\x00\x01\x02", 3));
    EXPECT_FALSE(reopened.getBinary("blob", bytes, 2));
}

TEST(SettingsKey, EnumeratesInStoredOrderAndDeletes)
{
    ScopedRegistry registry;
    {
        SettingsKey key(RootKey::CurrentUser, "SOFTWARE\\Hosts");
        ASSERT_TRUE(key.setString("alpha", "rwx"));
        ASSERT_TRUE(key.setString("beta", "rwx"));
        ASSERT_TRUE(key.setNumber("gamma", 7));
    }
    SettingsKey key(RootKey::CurrentUser, "SOFTWARE\\Hosts");
    std::vector<std::string> names;
    std::string name, data;
    ValueType type;
    for (int i = 0; key.enumValue(i, name, data, type); ++i) {
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string> {"alpha", "beta", "gamma"}));
    ASSERT_TRUE(key.enumValue(2, name, data, type));
    EXPECT_EQ(type, ValueType::Number);
    EXPECT_EQ(data, std::string("\x07\x00\x00\x00", 4));

    EXPECT_TRUE(key.deleteValue("beta"));
    EXPECT_FALSE(key.deleteValue("beta"));
    ASSERT_TRUE(key.enumValue(1, name, data));
    EXPECT_EQ(name, "gamma");
}

TEST(SettingsKey, ClosedKeyReadsDefaultsAndRefusesWrites)
{
    ScopedRegistry registry;
    SettingsKey key(RootKey::CurrentUser, keyPath);
    ASSERT_TRUE(key.setNumber("n", 9));
    key.close();
    EXPECT_FALSE(key.isOpen());
    EXPECT_EQ(key.getNumber("n", 1), 1);
    EXPECT_FALSE(key.setNumber("n", 2));
    EXPECT_FALSE(key.deleteValue("n"));
    const SettingsKey never;
    EXPECT_EQ(never.getNumber("n", 3), 3);
}

TEST(SettingsKey, UnwritableStoreLeavesTheKeyClosed)
{
    ScopedRegistry registry;
    // The store's folder is a file: nothing can be created there.
    const std::string blocker = registry.dir().write("blocker", "x");
    setenv("NORVANE_REGISTRY", (blocker + "/registry.reg").c_str(), 1);
    SettingsKey key(RootKey::CurrentUser, keyPath);
    EXPECT_FALSE(key.isOpen());
    EXPECT_EQ(key.getNumber("n", 5), 5);
    EXPECT_NE(SettingsStore::lastErrorText().find(blocker), std::string::npos)
        << SettingsStore::lastErrorText();
}

TEST(SettingsKey, LocalMachineIsASeparateRoot)
{
    ScopedRegistry registry;
    SettingsKey user(RootKey::CurrentUser, "SOFTWARE\\Same");
    SettingsKey machine(RootKey::LocalMachine, "SOFTWARE\\Same");
    ASSERT_TRUE(user.setString("v", "user"));
    ASSERT_TRUE(machine.setString("v", "machine"));
    std::string text;
    EXPECT_TRUE(user.getString("v", text, 128));
    EXPECT_EQ(text, "user");
    EXPECT_TRUE(machine.getString("v", text, 128));
    EXPECT_EQ(text, "machine");
}

} // namespace
