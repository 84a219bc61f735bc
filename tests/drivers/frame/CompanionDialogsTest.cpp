// The dialogs of a companion module as a plug-in reaches them: the module loaded from its built
// file, its entry points called on a record, and what each answer means for the plug-in.
#include "frame/CompanionDialogs.h"

#include "TestDialogRecord.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* testModule = NV_TEST_COMPANION_VIEW_PATH;

std::string notShown(const std::string& what)
{
    return "the GUI module " + std::string(testModule) + " showed no " + what
        + " (no GUI application)";
}

TEST(CompanionDialogsTest, TheEntryPointsAnswerBecomesTheOutcome)
{
    const struct
    {
        const char* name;
        int answer;
        DialogOutcome outcome;
        const char* textAfter;
    } cases[] = {
        {"OK", 1, DialogOutcome::Accepted, "values (edited)"},
        {"Cancel", 0, DialogOutcome::Rejected, "values"},
        {"no GUI", -1, DialogOutcome::NotShown, "values"},
        {"an answer no module gives", 7, DialogOutcome::NotShown, "values"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialogRecord record {"values", c.answer};
        std::string error = "left over";
        EXPECT_EQ(CompanionDialogs::show(testModule, "nvShowTestDialog", record, "dialog", error),
                  c.outcome);
        EXPECT_EQ(record.text, c.textAfter);
        EXPECT_EQ(error, c.outcome == DialogOutcome::NotShown ? notShown("dialog") : "");
    }
}

TEST(CompanionDialogsTest, AboutBoxSaysItWasNotShown)
{
    const struct
    {
        const char* text;
        DialogOutcome outcome;
    } cases[] = {
        {"accept", DialogOutcome::Accepted},
        {"reject", DialogOutcome::Rejected},
        {"nogui", DialogOutcome::NotShown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        AboutBoxRequest setup;
        setup.text = c.text;
        std::string error;
        EXPECT_EQ(CompanionDialogs::showAbout(testModule, setup, error), c.outcome);
        EXPECT_EQ(error, c.outcome == DialogOutcome::NotShown ? notShown("about box") : "");
    }
}

TEST(CompanionDialogsTest, AMissingEntryPointOrModuleShowsNothingAndSaysWhich)
{
    TestDialogRecord record {"values", 1};
    std::string error;
    EXPECT_EQ(CompanionDialogs::show(testModule, "nvShowNoSuchDialog", record, "dialog", error),
              DialogOutcome::NotShown);
    EXPECT_EQ(error,
              "the GUI module " + std::string(testModule)
                  + " has no entry point nvShowNoSuchDialog");

    const std::string missing = std::string(testModule) + ".missing";
    EXPECT_EQ(CompanionDialogs::show(missing, "nvShowTestDialog", record, "dialog", error),
              DialogOutcome::NotShown);
    EXPECT_EQ(error.rfind("cannot load the GUI module " + missing + ": ", 0), 0u) << error;
    EXPECT_EQ(record.text, "values");
}

} // namespace
