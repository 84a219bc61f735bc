#include "plover/PloverSettings.h"

#include "ScopedRegistry.h"
#include "frame/FrameTimings.h"
#include "plover/CPloverDriver.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

namespace {

TEST(PloverSettings, AFreshStoreGivesTheDefaults)
{
    ScopedRegistry registry;
    const PloverSettings settings = PloverSettings::load();
    EXPECT_EQ(settings.port, 444);
    EXPECT_FALSE(settings.disconOnClose);
    EXPECT_EQ(settings.replyTimeoutMs, 10000);
    EXPECT_EQ(settings.lookupTimeoutMs, 30000);
    EXPECT_EQ(settings.statusPauseMs, 2000);
    // The thread wait is read by the send frame under the driver's key.
    const SettingsKey key(RootKey::CurrentUser, PloverKeys::key);
    EXPECT_EQ(FrameTimings::load(key, CPloverDriver::defaultTimings()).threadWait,
              std::chrono::milliseconds(10000));
}

TEST(PloverSettings, StoredValuesAreReadAndBadOnesFallBack)
{
    ScopedRegistry registry;
    SettingsKey key(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\Plover");
    ASSERT_TRUE(key.setNumber("port", 2444));
    ASSERT_TRUE(key.setNumber("disconOnClose", 5));
    ASSERT_TRUE(key.setString("replyTimeoutMs", "500")); // wrong type: the default
    ASSERT_TRUE(key.setNumber("lookupTimeoutMs", -7)); // no endless waits
    ASSERT_TRUE(key.setNumber("statusPauseMs", 0));
    const PloverSettings settings = PloverSettings::load();
    EXPECT_EQ(settings.port, 2444);
    EXPECT_TRUE(settings.disconOnClose);
    EXPECT_EQ(settings.replyTimeoutMs, 10000);
    EXPECT_EQ(settings.lookupTimeoutMs, 30000);
    EXPECT_EQ(settings.statusPauseMs, 0);
}

TEST(PloverSettings, AReplyTimeOfZeroOrLessCountsAsUnset)
{
    // A zero wait would fail every reply before the server could answer.
    ScopedRegistry registry;
    SettingsKey key(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\Plover");
    for (const int stored : {0, -1, -60000}) {
        ASSERT_TRUE(key.setNumber("replyTimeoutMs", stored));
        EXPECT_EQ(PloverSettings::load().replyTimeoutMs, 10000) << stored;
    }
    ASSERT_TRUE(key.setNumber("replyTimeoutMs", 1));
    EXPECT_EQ(PloverSettings::load().replyTimeoutMs, 1);
}

TEST(PloverSettings, TheDialogValuesAreStoredAndReadBack)
{
    ScopedRegistry registry;
    PloverSettings settings;
    settings.port = 3000;
    settings.disconOnClose = true;
    settings.replyTimeoutMs = 1; // not the dialog's: not stored
    ASSERT_TRUE(settings.saveDialogValues());
    const PloverSettings loaded = PloverSettings::load();
    EXPECT_EQ(loaded.port, 3000);
    EXPECT_TRUE(loaded.disconOnClose);
    EXPECT_EQ(loaded.replyTimeoutMs, 10000);
    SettingsKey key(RootKey::CurrentUser, PloverKeys::key);
    EXPECT_EQ(key.getNumber("disconOnClose", -1), 1);
}

TEST(PloverSettings, ThePortBoxTextBecomesAPort)
{
    const std::vector<std::pair<const char*, int>> cases {
        {"3000", 3000}, {"  25", 25}, {"80 and more", 80}, {"", 444},
        {"abc", 444},   {"0", 444},   {"-5", 444},         {"70000", 444},
    };
    for (const auto& [text, port] : cases) {
        EXPECT_EQ(PloverSettings::portFromText(text), port) << '"' << text << '"';
    }
}

TEST(PloverSettings, TheDialogShowsThePortAndStoresWhatTheBoxHolds)
{
    ScopedRegistry registry;
    SettingsKey key(RootKey::CurrentUser, PloverKeys::key);
    ASSERT_TRUE(key.setNumber("port", 2000));
    const struct
    {
        const char* box;
        bool check;
        int stored;
    } cases[] = {
        {"", true, 444}, // an emptied box stores the default
        {"1024", false, 1024},
        {"3000", true, 3000}, // typed beyond the spin range: kept as typed
        {"port", false, 444},
    };
    std::string previous = "2000";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        PloverSettings shown = PloverSettings::load();
        EXPECT_EQ(shown.portText(), previous);
        shown.port = PloverSettings::portFromText(c.box);
        shown.disconOnClose = c.check;
        ASSERT_TRUE(shown.saveDialogValues());
        const PloverSettings stored = PloverSettings::load();
        EXPECT_EQ(stored.port, c.stored);
        EXPECT_EQ(stored.portText(), std::to_string(c.stored));
        EXPECT_EQ(stored.disconOnClose, c.check);
        previous = std::to_string(c.stored);
    }
}

} // namespace
