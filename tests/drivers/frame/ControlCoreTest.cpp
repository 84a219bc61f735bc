// What both driver controls do alike, over a recording driver object and dialog seam: the
// message list's members, the answers of a control without its driver, the about box and the
// log lines around the settings dialog.
#include "frame/ControlCore.h"

#include "frame/ControlledDriver.h"
#include "frame/DriverDialogs.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

class RecordingDriver final : public ControlledDriver
{
public:
    void setLastError(int code) override { lastErrors.push_back(code); }
    void logOutsideSend(int level, std::string_view text) override
    {
        lines.emplace_back(level, std::string(text));
    }

    std::vector<int> lastErrors;
    std::vector<std::pair<int, std::string>> lines;
};

class AnsweringDialogs final : public DriverDialogs
{
public:
    explicit AnsweringDialogs(DialogOutcome answer)
        : m_answer(answer)
    { }

    DialogOutcome showAbout(const AboutBoxRequest& setup, std::string& error) override
    {
        shown.push_back(setup);
        if (m_answer == DialogOutcome::NotShown) {
            error = "no GUI application";
        }
        return m_answer;
    }

    std::vector<AboutBoxRequest> shown;

private:
    const DialogOutcome m_answer;
};

int owner = 0;
const AboutBoxRequest about {"About Test Control", "Test Control, Version 1.0", "test", &owner};

using Lines = std::vector<std::pair<int, std::string>>;

TEST(ControlCoreTest, TheListTakesTwentyMessagesAndRefusesTheNext)
{
    RecordingDriver driver;
    ControlCore core(&driver, nullptr, about);
    for (int i = 0; i < MessageList::capacity; ++i) {
        ASSERT_EQ(core.addMessage(std::to_string(i), "text"), 0);
    }
    EXPECT_EQ(core.addMessage("20", "one too many"), ControlCore::codeListFull);
    EXPECT_EQ(driver.lastErrors, std::vector<int> {ControlCore::codeListFull});
    EXPECT_EQ(core.getMessageCount(), 20);
    EXPECT_EQ(core.messages().at(19).pagerId, 19);
    EXPECT_EQ(core.getMessageResultCode(19), 5);
    EXPECT_EQ(core.getMessageResultCode(-1), 2);
    EXPECT_EQ(core.getMessageResultCode(20), 2);
    core.clear();
    EXPECT_EQ(core.getMessageCount(), 0);
    EXPECT_EQ(core.getMessageResultCode(0), 2);
}

TEST(ControlCoreTest, WithoutItsDriverTheControlAnswersOneAndShowsNothing)
{
    AnsweringDialogs dialogs(DialogOutcome::Accepted);
    ControlCore core(nullptr, &dialogs, about);
    EXPECT_EQ(core.addMessage("1", "text"), ControlCore::codeNoDriver);
    EXPECT_EQ(core.getMessageCount(), ControlCore::codeNoDriver);
    EXPECT_EQ(core.getMessageResultCode(0), ControlCore::codeNoDriver);
    core.clear();
    core.aboutBox();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(core.settingsDialogAvailable());
    EXPECT_EQ(core.messages().count(), 0);
}

TEST(ControlCoreTest, AboutBoxIsShownOrItsTextLogged)
{
    const struct
    {
        const char* name;
        std::optional<DialogOutcome> answer; // none: no dialogs in the process
        bool logged;
    } cases[] = {
        {"no dialogs", std::nullopt, true},
        {"closed with OK", DialogOutcome::Accepted, false},
        {"closed otherwise", DialogOutcome::Rejected, false},
        {"no GUI to show it in", DialogOutcome::NotShown, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDriver driver;
        std::optional<AnsweringDialogs> dialogs;
        if (c.answer) {
            dialogs.emplace(*c.answer);
        }
        ControlCore core(&driver, dialogs ? &*dialogs : nullptr, about);
        core.aboutBox();
        if (dialogs) {
            ASSERT_EQ(dialogs->shown.size(), 1u);
            EXPECT_EQ(dialogs->shown[0].caption, "About Test Control");
            EXPECT_EQ(dialogs->shown[0].tag, "test");
            EXPECT_EQ(dialogs->shown[0].parentWindow, &owner);
        }
        const Lines expected = c.logged ? Lines {{5, "Test Control, Version 1.0"}} : Lines {};
        EXPECT_EQ(driver.lines, expected);
    }
}

TEST(ControlCoreTest, SettingsDialogOutcomesAndTheirLogLines)
{
    RecordingDriver driver;
    {
        ControlCore core(&driver, nullptr, about);
        EXPECT_FALSE(core.settingsDialogAvailable());
    }
    EXPECT_EQ(driver.lines, (Lines {{5, "Settings dialog not shown: no dialogs in this process"}}));

    const struct
    {
        DialogOutcome outcome;
        bool store;
        Lines lines;
    } cases[] = {
        {DialogOutcome::Accepted, true, {}},
        {DialogOutcome::Rejected, false, {}},
        {DialogOutcome::NotShown, false, {{5, "Settings dialog not shown: no GUI application"}}},
    };
    AnsweringDialogs dialogs(DialogOutcome::Accepted);
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.outcome));
        driver.lines.clear();
        ControlCore core(&driver, &dialogs, about);
        EXPECT_TRUE(core.settingsDialogAvailable());
        EXPECT_EQ(core.settingsAccepted(c.outcome, "no GUI application"), c.store);
        EXPECT_EQ(driver.lines, c.lines);
    }

    driver.lines.clear();
    ControlCore core(&driver, &dialogs, about);
    core.settingsNotStored("HKEY_CURRENT_USER\\SOFTWARE\\Test");
    EXPECT_EQ(driver.lines,
              (Lines {{2, "Settings not stored: cannot write HKEY_CURRENT_USER\\SOFTWARE\\Test"}}));
}

} // namespace
