// Values that may sensibly be stored either as a number or as a text (a port) read both ways.
#include "ScopedRegistry.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\Test";

struct TypeCase
{
    const char* label;
    std::optional<std::int32_t> storedNumber; // else storedText
    const char* storedText;
    bool otherTypeAccepted;
    const char* asText; // what a string setting (default "444") reads
    std::int32_t asNumber; // what a number setting (default 444) reads
};

class SettingTypes : public testing::TestWithParam<TypeCase>
{ };

TEST_P(SettingTypes, ReadAsTheTableSays)
{
    ScopedRegistry registry;
    SettingsKey settings(RootKey::CurrentUser, key);
    const TypeCase& c = GetParam();
    ASSERT_TRUE(c.storedNumber ? settings.setNumber("port", *c.storedNumber)
                               : settings.setString("port", c.storedText));
    EXPECT_EQ(settings.read(StringSetting {"port", "444", 32, c.otherTypeAccepted}), c.asText);
    EXPECT_EQ(settings.read(NumberSetting {"port", 444, c.otherTypeAccepted}), c.asNumber);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, SettingTypes,
    testing::Values(TypeCase {"numberAccepted", 4444, "", true, "4444", 4444},
                    TypeCase {"numberNotAccepted", 4444, "", false, "444", 4444},
                    TypeCase {"textAccepted", std::nullopt, "4444", true, "4444", 4444},
                    TypeCase {"textNotAccepted", std::nullopt, "4444", false, "4444", 444},
                    TypeCase {"blanksAround", std::nullopt, " 4444\t", true, " 4444\t", 4444},
                    TypeCase {"serviceName", std::nullopt, "snpp", true, "snpp", 444},
                    TypeCase {"trailingText", std::nullopt, "44x", true, "44x", 444},
                    TypeCase {"emptyText", std::nullopt, "", true, "", 444},
                    TypeCase {"beyond32Bits", std::nullopt, "99999999999", true, "99999999999",
                              444},
                    TypeCase {"negativeNumber", -1, "", true, "-1", -1}),
    [](const auto& p) { return p.param.label; });

TEST(SettingTypes, ANumberTooLongForTheBufferStillReads)
{
    ScopedRegistry registry;
    SettingsKey settings(RootKey::CurrentUser, key);
    ASSERT_TRUE(settings.setNumber("port", -2147483647));
    EXPECT_EQ(settings.read(StringSetting {"port", "444", 32, true}), "-2147483647");
}

} // namespace
