#include "kestrel/KestrelSettings.h"

#include "KestrelTestSettings.h"
#include "ScopedRegistry.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

namespace {

using KestrelTestSettings::modemListBytes;

std::vector<std::uint32_t> numbers(std::uint32_t from, std::uint32_t count)
{
    std::vector<std::uint32_t> list;
    for (std::uint32_t i = 0; i < count; ++i) {
        list.push_back(from + i);
    }
    return list;
}

class KestrelSettingsTest : public ::testing::Test
{
protected:
    SettingsKey openKey() { return SettingsKey(RootKey::CurrentUser, KestrelSettings::key); }

    ScopedRegistry registry;
};

TEST_F(KestrelSettingsTest, ModemListReadings)
{
    const struct
    {
        const char* name;
        std::string bytes;
        bool present;
        std::vector<std::uint32_t> devices;
    } cases[] = {
        {"two devices", modemListBytes(2, {4, 0xFFFFFFFF}), true, {4, 0xFFFFFFFF}},
        {"count zero", modemListBytes(0, {}), true, {}},
        {"count zero with numbers after it", modemListBytes(0, {1, 2}), true, {}},
        {"count beyond the numbers held", modemListBytes(5, {7, 8}), true, {7, 8}},
        {"count below the numbers held", modemListBytes(1, {7, 8}), true, {7}},
        {"a partial number is ignored", modemListBytes(1, {9}) + "ab", true, {9}},
        {"no whole count", std::string("\x01\x00", 2), false, {}},
        {"127 numbers fill the buffer", modemListBytes(127, numbers(0, 127)), true,
         numbers(0, 127)},
        {"128 numbers are too long", modemListBytes(128, numbers(0, 128)), false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsKey key = openKey();
        ASSERT_TRUE(key.setBinary("modemList", c.bytes));
        const KestrelSettings::ModemList list = KestrelSettings::readModemList(openKey());
        EXPECT_EQ(list.present, c.present);
        EXPECT_EQ(list.devices, c.devices);
    }
}

TEST_F(KestrelSettingsTest, ModemListOfAnotherTypeOrInANewKeyIsAbsent)
{
    {
        SettingsKey key = openKey();
        ASSERT_TRUE(key.wasCreated());
        EXPECT_FALSE(KestrelSettings::readModemList(key).present);
        ASSERT_TRUE(key.setString("modemList", "1,2"));
    }
    EXPECT_FALSE(KestrelSettings::readModemList(openKey()).present);
}

TEST_F(KestrelSettingsTest, SendUsesTheFirstTwentyDevices)
{
    SettingsKey key = openKey();
    ASSERT_TRUE(key.setBinary("modemList", modemListBytes(25, numbers(100, 25))));
    const KestrelSettings::ForSend settings = KestrelSettings::loadForSend(openKey());
    EXPECT_EQ(settings.modems.devices, numbers(100, 20));
    // The dialog lists them all.
    EXPECT_EQ(KestrelSettings::loadForDialog(openKey()).modems.devices.size(), 25u);
}

TEST_F(KestrelSettingsTest, FreshInstallationSendsAndShowsDifferentDefaults)
{
    const KestrelSettings::ForSend send = KestrelSettings::loadForSend(openKey());
    EXPECT_FALSE(send.modems.present);
    EXPECT_EQ(send.tap.maxSendPacket, 3);
    EXPECT_EQ(send.tap.readTimeoutSeconds, 6);
    EXPECT_EQ(send.tap.promptTimeoutSeconds, 3);
    EXPECT_TRUE(send.tap.transChars);
    EXPECT_EQ(send.tap.goAheadDelayMs, 1000);
    EXPECT_EQ(send.tap.maxBlockText, 511);
    EXPECT_EQ(send.timings.callWait, std::chrono::milliseconds(60000));
    EXPECT_EQ(send.timings.updateWait, std::chrono::milliseconds(5000));
    EXPECT_EQ(send.timings.threadWait, std::chrono::milliseconds(300000));

    const KestrelSettings::ForDialog dialog = KestrelSettings::loadForDialog(openKey());
    EXPECT_FALSE(dialog.modems.present);
    EXPECT_EQ(dialog.maxSendPacket, 3);
    EXPECT_EQ(dialog.maxReadTimeout, 6);
    EXPECT_EQ(dialog.maxPromptTimeout, 6);
    EXPECT_FALSE(dialog.transChars);
}

TEST_F(KestrelSettingsTest, StoredValuesAreReadBothWays)
{
    {
        SettingsKey key = openKey();
        ASSERT_TRUE(key.setNumber("transChars", 5));
        ASSERT_TRUE(key.setNumber("maxPromptTimeout", 9));
        ASSERT_TRUE(key.setString("maxReadTimeout", "12")); // not a number: the default
    }
    const KestrelSettings::ForSend send = KestrelSettings::loadForSend(openKey());
    EXPECT_TRUE(send.tap.transChars);
    EXPECT_EQ(send.tap.promptTimeoutSeconds, 9);
    EXPECT_EQ(send.tap.readTimeoutSeconds, 6);
    const KestrelSettings::ForDialog dialog = KestrelSettings::loadForDialog(openKey());
    EXPECT_TRUE(dialog.transChars);
    EXPECT_EQ(dialog.maxPromptTimeout, 9);
}

TEST_F(KestrelSettingsTest, DialogStoresItsValues)
{
    KestrelSettings::ForDialog values = KestrelSettings::loadForDialog(openKey());
    values.transChars = true;
    {
        SettingsKey key = openKey();
        ASSERT_TRUE(KestrelSettings::storeFromDialog(key, {0, 2}, false, values));
    }
    SettingsKey key = openKey();
    std::string bytes;
    ASSERT_TRUE(key.getBinary("modemList", bytes, 512));
    EXPECT_EQ(bytes, modemListBytes(2, {0, 2}));
    EXPECT_EQ(key.getNumber("transChars", -1), 1);
    EXPECT_EQ(key.getNumber("maxSendPacket", -1), 3);
    EXPECT_EQ(key.getNumber("maxReadTimeout", -1), 6);
    // The dialog's prompt default becomes the stored value, and so the sending one.
    EXPECT_EQ(key.getNumber("maxPromptTimeout", -1), 6);
    EXPECT_EQ(KestrelSettings::loadForSend(key).tap.promptTimeoutSeconds, 6);

    ASSERT_TRUE(KestrelSettings::storeFromDialog(key, {0, 1, 2}, true, values));
    EXPECT_FALSE(KestrelSettings::readModemList(openKey()).present);

    ASSERT_TRUE(KestrelSettings::storeFromDialog(key, {}, false, values));
    const KestrelSettings::ModemList none = KestrelSettings::readModemList(openKey());
    EXPECT_TRUE(none.present);
    EXPECT_TRUE(none.devices.empty());
}

TEST_F(KestrelSettingsTest, BlockTextLimitOfZeroOrLessMeansTheFullBlock)
{
    for (const auto& [stored, read] : {std::pair {250, 250}, {0, 511}, {-4, 511}, {600, 600}}) {
        ASSERT_TRUE(openKey().setNumber("maxBlockText", stored));
        // 600 is read as stored; the engine keeps a block within 511 (TapEngineEndTest).
        EXPECT_EQ(KestrelSettings::loadForSend(openKey()).tap.maxBlockText, read) << stored;
    }
}

} // namespace
