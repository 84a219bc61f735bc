// The plover control's settings dialog and about box through a scripted dialog seam, against
// a private settings store: what the dialog opens with, how OK reads the port box, Cancel,
// and a process without a GUI.
#include "PrivateLog.h"
#include "ScriptedDialogSeam.h"
#include "plover/CPloverCtrl.h"
#include "plover/CPloverDriver.h"
#include "plover/PloverIds.h"
#include "plover/PloverSettings.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using ScriptedPloverDialogs = ScriptedDialogSeam<PloverDialogs, PloverDialogRecord>;

class PloverControlDialogsTest : public ::testing::Test
{
protected:
    std::unique_ptr<CPloverCtrl> makeControl(
        DialogOutcome answer,
        std::function<void(PloverDialogRecord&)> edit = [](PloverDialogRecord&) {})
    {
        auto dialogs
            = std::make_unique<ScriptedPloverDialogs>(answer, std::move(edit), shown, abouts);
        return std::make_unique<CPloverCtrl>(std::make_shared<CPloverDriver>(), nullptr, &owner,
                                             std::move(dialogs));
    }
    static SettingsKey key() { return SettingsKey(RootKey::CurrentUser, PloverKeys::key); }

    PrivateLog log;
    int owner = 0;
    std::vector<PloverDialogRecord> shown;
    std::vector<AboutBoxRequest> abouts;
};

TEST_F(PloverControlDialogsTest, OpensWithTheStoredValuesOrTheirDefaults)
{
    auto ctrl = makeControl(DialogOutcome::Rejected);
    callMethod(*ctrl, PloverIds::ShowProperties);
    ASSERT_TRUE(key().setNumber("port", 3000));
    ASSERT_TRUE(key().setNumber("disconOnClose", 1));
    callMethod(*ctrl, PloverIds::ShowProperties);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].port, "444");
    EXPECT_FALSE(shown[0].disconOnClose);
    EXPECT_EQ(shown[1].port, "3000");
    EXPECT_TRUE(shown[1].disconOnClose);
    EXPECT_EQ(shown[1].parentWindow, nullptr);
}

TEST_F(PloverControlDialogsTest, OkReadsThePortBox)
{
    const struct
    {
        const char* text;
        std::int32_t stored;
    } cases[] = {
        {"3000", 3000},
        {"2048", 2048},
        // The arrows stop at 2048; a typed number beyond it is stored as it stands.
        {"8444", 8444},
        {" 25 smtp", 25},
        {"", 444},
        {"snpp", 444},
        {"0", 444},
        {"-5", 444},
        {"70000", 444},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(key().setNumber("port", 1));
        auto ctrl = makeControl(DialogOutcome::Accepted, [&c](PloverDialogRecord& record) {
            record.port = c.text;
            record.disconOnClose = true;
        });
        callMethod(*ctrl, PloverIds::ShowProperties);
        EXPECT_EQ(key().getNumber("port", -1), c.stored);
        EXPECT_EQ(key().getNumber("disconOnClose", -1), 1);
    }
}

TEST_F(PloverControlDialogsTest, OnlyTheFirst63CharactersOfThePortBoxAreRead)
{
    auto ctrl = makeControl(DialogOutcome::Accepted, [](PloverDialogRecord& record) {
        record.port = std::string(63, ' ') + "3000";
    });
    callMethod(*ctrl, PloverIds::ShowProperties);
    EXPECT_EQ(key().getNumber("port", -1), 444);
}

TEST_F(PloverControlDialogsTest, CancelStoresNothing)
{
    auto ctrl = makeControl(DialogOutcome::Rejected, [](PloverDialogRecord& record) {
        record.port = "3000";
        record.disconOnClose = true;
    });
    callMethod(*ctrl, PloverIds::ShowProperties);
    EXPECT_EQ(key().getNumber("port", -1), -1);
    EXPECT_EQ(key().getNumber("disconOnClose", -1), -1);
}

TEST_F(PloverControlDialogsTest, NoGuiLogsWhy)
{
    auto ctrl = makeControl(DialogOutcome::NotShown);
    callMethod(*ctrl, PloverIds::ShowProperties);
    callMethod(*ctrl, PloverIds::AboutBox);
    EXPECT_EQ(log.levelOf("Settings dialog not shown: no GUI application", "plover"), 5);
    EXPECT_EQ(log.levelOf("Plover Control, Version 1.0", "plover"), 5);
    EXPECT_EQ(key().getNumber("port", -1), -1);
}

TEST_F(PloverControlDialogsTest, AboutBoxNamesTheControlAndItsOwner)
{
    auto ctrl = makeControl(DialogOutcome::Accepted);
    callMethod(*ctrl, PloverIds::AboutBox);
    ASSERT_EQ(abouts.size(), 1u);
    EXPECT_EQ(abouts[0].caption, "About Plover Control");
    EXPECT_EQ(abouts[0].text, "Plover Control, Version 1.0");
    EXPECT_EQ(abouts[0].tag, "plover");
    EXPECT_EQ(abouts[0].parentWindow, &owner);
}

} // namespace
