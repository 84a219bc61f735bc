// The settings dialog's record without a window: what it opens with, what OK stores, and the
// kestrel control running it through a scripted dialog seam against a private settings store.
#include "kestrel/KestrelPropertiesFlow.h"

#include "KestrelTestSettings.h"
#include "PrivateLog.h"
#include "ScriptedDialogSeam.h"
#include "ScriptedLines.h"
#include "kestrel/CKestrelCtrl.h"
#include "kestrel/CKestrelDriver.h"
#include "kestrel/KestrelIds.h"
#include "kestrel/KestrelSettings.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using KestrelTestSettings::modemListBytes;
using KestrelTestSettings::storedModemList;

std::vector<DeviceMark> marksOf(const KestrelDialogRecord& record)
{
    std::vector<DeviceMark> marks;
    for (const KestrelDeviceRow& row : record.rows) {
        marks.push_back(row.mark);
    }
    return marks;
}

const std::vector<std::optional<std::string>> threeModems = {"COM1", "COM2", "COM3"};

class KestrelPropertiesFlowTest : public ::testing::Test
{
protected:
    static SettingsKey openKey() { return KestrelTestSettings::key(); }
    KestrelDialogRecord openRecord(const std::vector<std::optional<std::string>>& devices)
    {
        return KestrelPropertiesFlow::open(KestrelSettings::loadForDialog(openKey()), devices);
    }

    PrivateLog log;
};

TEST_F(KestrelPropertiesFlowTest, OpensWithTheDialogDefaults)
{
    const KestrelDialogRecord record = openRecord(threeModems);
    ASSERT_EQ(record.rows.size(), 3u);
    EXPECT_EQ(record.rows[2].name, "COM3");
    EXPECT_EQ(record.rows[2].device, 2u);
    EXPECT_EQ(marksOf(record), std::vector<DeviceMark>(3, DeviceMark::Selected));
    EXPECT_EQ(record.promptTimeout, "6");
    EXPECT_EQ(record.readTimeout, "6");
    EXPECT_EQ(record.resends, "3");
    EXPECT_FALSE(record.transChars);
}

TEST_F(KestrelPropertiesFlowTest, MarksFollowTheStoredListAndUnavailableDevices)
{
    ASSERT_TRUE(openKey().setBinary("modemList", modemListBytes({2, 7, 0})));
    (void)openKey().setNumber("transChars", 5);
    const KestrelDialogRecord record = openRecord({"COM1", std::nullopt, "COM3", "COM4"});
    EXPECT_EQ(marksOf(record),
              (std::vector<DeviceMark> {DeviceMark::Selected, DeviceMark::Unavailable,
                                        DeviceMark::Selected, DeviceMark::NotSelected}));
    EXPECT_EQ(record.rows[1].name, "Unknown device");
    EXPECT_TRUE(record.transChars);
}

TEST_F(KestrelPropertiesFlowTest, OkStoresTheModemListOnlyWhenNotEveryRowIsSelected)
{
    const struct
    {
        const char* name;
        std::vector<std::optional<std::string>> devices;
        std::vector<DeviceMark> marks;
        std::string stored;
    } cases[] = {
        {"all selected: deleted", threeModems, std::vector<DeviceMark>(3, DeviceMark::Selected),
         "absent"},
        {"one of three deselected",
         threeModems,
         {DeviceMark::Selected, DeviceMark::NotSelected, DeviceMark::Selected},
         modemListBytes({0, 2})},
        {"none selected: a count of 0", threeModems,
         std::vector<DeviceMark>(3, DeviceMark::NotSelected), modemListBytes({})},
        {"an unavailable row is never selected",
         {"COM1", std::nullopt},
         {DeviceMark::Selected, DeviceMark::Unavailable},
         modemListBytes({0})},
        {"no devices at all", {}, {}, "absent"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(openKey().setBinary("modemList", modemListBytes({9})));
        KestrelDialogRecord record = openRecord(c.devices);
        for (std::size_t i = 0; i < c.marks.size(); ++i) {
            record.rows[i].mark = c.marks[i];
        }
        SettingsKey key = openKey();
        ASSERT_TRUE(KestrelPropertiesFlow::store(key, record));
        EXPECT_EQ(storedModemList(), c.stored);
    }
}

TEST_F(KestrelPropertiesFlowTest, OnlyTheFirst128RowsAreCollected)
{
    std::vector<std::optional<std::string>> devices(130, std::string("modem"));
    KestrelDialogRecord record = openRecord(devices);
    SettingsKey key = openKey();
    ASSERT_TRUE(KestrelPropertiesFlow::store(key, record));
    // 128 of 130 rows counted: written, not deleted; 516 bytes then read back as absent.
    std::string bytes;
    ASSERT_TRUE(openKey().getBinary("modemList", bytes, 1024));
    EXPECT_EQ(bytes.size(), 4u + 4u * 128u);
    EXPECT_FALSE(KestrelSettings::readModemList(openKey()).present);
}

TEST_F(KestrelPropertiesFlowTest, BoxTextsAreReadAsAtoiReadsThem)
{
    const struct
    {
        std::string text;
        std::int32_t stored;
    } cases[] = {
        {"12", 12},
        {"  7 seconds", 7},
        {"abc", 0},
        {"", 0},
        {"-4", -4},
        // Read to the limit of long, then taken to 32 bits as the C library's atoi does.
        {"99999999999", 1215752191},
        // A box holds 127 characters: a digit beyond them is not read.
        {std::string(126, ' ') + "5", 5},
        {std::string(127, ' ') + "5", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        KestrelDialogRecord record = openRecord(threeModems);
        record.promptTimeout = c.text;
        record.readTimeout = c.text;
        record.resends = c.text;
        record.transChars = true;
        SettingsKey key = openKey();
        ASSERT_TRUE(KestrelPropertiesFlow::store(key, record));
        EXPECT_EQ(openKey().getNumber("maxPromptTimeout", -1), c.stored);
        EXPECT_EQ(openKey().getNumber("maxReadTimeout", -1), c.stored);
        EXPECT_EQ(openKey().getNumber("maxSendPacket", -1), c.stored);
        EXPECT_EQ(openKey().getNumber("transChars", -1), 1);
    }
}

// The kestrel dialog seam, which also lists the line devices.
class ScriptedKestrelDialogs final : public ScriptedDialogSeam<KestrelDialogs, KestrelDialogRecord>
{
public:
    using ScriptedDialogSeam::ScriptedDialogSeam;

    std::vector<std::optional<std::string>> lineDevices() override { return threeModems; }
};

class KestrelControlDialogsTest : public KestrelPropertiesFlowTest
{
protected:
    std::unique_ptr<CKestrelCtrl> makeControl(
        DialogOutcome answer,
        std::function<void(KestrelDialogRecord&)> edit = [](KestrelDialogRecord&) {})
    {
        auto dialogs
            = std::make_unique<ScriptedKestrelDialogs>(answer, std::move(edit), shown, abouts);
        auto driver = std::make_shared<CKestrelDriver>(
            std::make_unique<ScriptedLineSource>(plans, fallback, lines), nullptr);
        return std::make_unique<CKestrelCtrl>(driver, nullptr, &owner, std::move(dialogs));
    }
    int owner = 0;
    std::vector<KestrelDialogRecord> shown;
    std::vector<AboutBoxRequest> abouts;
    LineRecord lines;
    std::map<std::uint32_t, LinePlan> plans;
    LinePlan fallback;
};

TEST_F(KestrelControlDialogsTest, OkStoresWhatTheDialogHandsBack)
{
    auto ctrl = makeControl(DialogOutcome::Accepted, [](KestrelDialogRecord& record) {
        record.rows[1].mark = DeviceMark::NotSelected;
        record.resends = "5";
    });
    callMethod(*ctrl, KestrelIds::ShowProperties);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].promptTimeout, "6");
    EXPECT_EQ(storedModemList(), modemListBytes({0, 2}));
    EXPECT_EQ(openKey().getNumber("maxSendPacket", -1), 5);
    // A fresh installation's prompt time-out of 3 for sending becomes the dialog's 6.
    EXPECT_EQ(openKey().getNumber("maxPromptTimeout", -1), 6);
    EXPECT_EQ(openKey().getNumber("transChars", -1), 0);
}

TEST_F(KestrelControlDialogsTest, CancelStoresNothing)
{
    auto ctrl = makeControl(DialogOutcome::Rejected, [](KestrelDialogRecord& record) {
        record.rows[0].mark = DeviceMark::NotSelected;
        record.resends = "9";
    });
    callMethod(*ctrl, KestrelIds::ShowProperties);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(storedModemList(), "absent");
    EXPECT_EQ(openKey().getNumber("maxSendPacket", -1), -1);
    EXPECT_EQ(openKey().getNumber("maxPromptTimeout", -1), -1);
}

TEST_F(KestrelControlDialogsTest, NoGuiLogsWhyAndStoresNothing)
{
    auto ctrl = makeControl(DialogOutcome::NotShown);
    callMethod(*ctrl, KestrelIds::ShowProperties);
    callMethod(*ctrl, KestrelIds::AboutBox);
    EXPECT_EQ(log.levelOf("Settings dialog not shown: no GUI application"), 5);
    EXPECT_EQ(log.levelOf("Kestrel Control, Version 1.0"), 5);
    EXPECT_EQ(openKey().getNumber("maxPromptTimeout", -1), -1);
}

TEST_F(KestrelControlDialogsTest, AboutBoxNamesTheControlAndItsOwner)
{
    auto ctrl = makeControl(DialogOutcome::Accepted);
    callMethod(*ctrl, KestrelIds::AboutBox);
    ASSERT_EQ(abouts.size(), 1u);
    EXPECT_EQ(abouts[0].caption, "About Kestrel Control");
    EXPECT_EQ(abouts[0].text, "Kestrel Control, Version 1.0");
    EXPECT_EQ(abouts[0].tag, "kestrel");
    EXPECT_EQ(abouts[0].parentWindow, &owner);
    EXPECT_EQ(log.levelOf("Kestrel Control, Version 1.0"), -1);
}

} // namespace
