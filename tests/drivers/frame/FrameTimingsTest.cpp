#include "frame/FrameTimings.h"

#include "ScopedRegistry.h"
#include "frame/FrameEvent.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\FrameTest";

TEST(FrameTimingsTest, StoredValuesReplaceTheDefaultsAndNegativeOnesDoNot)
{
    ScopedRegistry registry;
    SettingsKey settings(RootKey::CurrentUser, key);
    ASSERT_TRUE(settings.setNumber("callWaitMs", 250));
    ASSERT_TRUE(settings.setNumber("updateWaitMs", 0));
    ASSERT_TRUE(settings.setNumber("threadWaitMs", -3));
    ASSERT_TRUE(settings.setString("statusPauseMs", "10")); // a string is not a number

    FrameTimings defaults;
    defaults.threadWait = 10000ms;
    const FrameTimings timings = FrameTimings::load(settings, defaults);
    EXPECT_EQ(timings.callWait, 250ms);
    EXPECT_EQ(timings.updateWait, 0ms);
    EXPECT_EQ(timings.threadWait, 10000ms);
    EXPECT_EQ(timings.statusPause, 2000ms);
}

TEST(FrameTimingsTest, ClosedKeyGivesTheDefaults)
{
    const FrameTimings timings = FrameTimings::load(SettingsKey {}, FrameTimings {});
    EXPECT_EQ(timings.callWait, 60000ms);
    EXPECT_EQ(timings.updateWait, 5000ms);
    EXPECT_EQ(timings.threadWait, 300000ms);
    EXPECT_EQ(timings.statusPause, 2000ms);
}

TEST(FrameEventTest, ManualEventStaysSetAutomaticEventReleasesOneWait)
{
    FrameEvent manual(FrameEvent::Reset::Manual);
    FrameEvent automatic(FrameEvent::Reset::Automatic);
    manual.set();
    automatic.set();
    EXPECT_TRUE(manual.wait(0ms));
    EXPECT_TRUE(manual.wait(0ms));
    EXPECT_TRUE(automatic.wait(0ms));
    EXPECT_FALSE(automatic.wait(10ms));
    manual.reset();
    EXPECT_FALSE(manual.isSet());
    EXPECT_FALSE(manual.wait(10ms));
}

TEST(FrameEventTest, SetFromAnotherThreadWakesTheWaiter)
{
    FrameEvent event(FrameEvent::Reset::Automatic);
    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        event.set();
    });
    EXPECT_TRUE(event.wait(10s));
    setter.join();
    EXPECT_FALSE(event.isSet());
}

} // namespace
