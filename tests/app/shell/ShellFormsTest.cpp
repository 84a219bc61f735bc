#include "ScopedRegistry.h"
#include "addressing/RecipientListForm.h"
#include "shell/ComposeForm.h"
#include "shell/StartupOptions.h"
#include "stores/MessageHistory.h"
#include "stores/SavedMessageStore.h"

#include <gtest/gtest.h>

namespace {

using Action = StartupOptions::Action;

struct OptionsCase
{
    std::vector<std::string> arguments;
    Action action;
    bool multiple;
    bool taskbar;
};

class StartupOptionsTest : public testing::TestWithParam<OptionsCase>
{ };

TEST_P(StartupOptionsTest, TokensActByTheirSecondCharacter)
{
    const OptionsCase& c = GetParam();
    const StartupOptions options = StartupOptions::parse(c.arguments);
    EXPECT_EQ(options.action, c.action);
    EXPECT_EQ(options.multipleInstances, c.multiple);
    EXPECT_EQ(options.taskbarOnly, c.taskbar);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, StartupOptionsTest,
    testing::Values(OptionsCase {{}, Action::Run, false, false},
                    OptionsCase {{"-t"}, Action::Run, false, true},
                    OptionsCase {{"-mt"}, Action::Run, true, false},
                    OptionsCase {{"-x", "m", "t", "-"}, Action::Run, false, false},
                    OptionsCase {{"-m", "-h", "-t"}, Action::ShowHelpBox, true, false},
                    OptionsCase {{"-help"}, Action::ShowHelpBox, false, false},
                    OptionsCase {{"-t", "--help"}, Action::PrintUsage, false, true},
                    OptionsCase {{"--version", "-h"}, Action::PrintVersion, false, false}));

// The form over a history and a saved-messages file in the test's folder.
class ComposeFormTest : public testing::Test
{
protected:
    void add(std::string_view to, std::string_view message)
    {
        ASSERT_TRUE(history.recordSent(to, message));
    }

    ScopedRegistry registry;
    MessageHistory history {registry.dir().file("canmsg.txt")};
    SavedMessageStore saved {registry.dir().file("msgdbs.txt")};
    RecipientListForm recipients {nullptr, nullptr, nullptr};
    ComposeForm form {history, saved, recipients};
};

TEST_F(ComposeFormTest, SteppingThroughTheHistory)
{
    EXPECT_EQ(form.previousMessage()->text, "No saved messages");
    add("555-0100/1;", "older");
    add("555-0100/2;bad address;", "newer");

    EXPECT_EQ(form.previousMessage(), std::nullopt);
    EXPECT_EQ(form.historyPosition(), 0);
    // An entry that would not pass the check is listed all the same.
    ASSERT_EQ(recipients.items().size(), 2u);
    EXPECT_EQ(recipients.items()[1].text, "bad address");
    EXPECT_EQ(recipients.message(), "newer");
    EXPECT_EQ(form.previousMessage(), std::nullopt);
    EXPECT_EQ(recipients.message(), "older");
    const auto none = form.previousMessage();
    ASSERT_TRUE(none);
    EXPECT_EQ(*none, (ComposeForm::Notice {"No more saved messages", "Norvane Desk"}));
    EXPECT_EQ(form.historyPosition(), 1);

    form.nextMessage();
    EXPECT_EQ(form.historyPosition(), 0);
    EXPECT_EQ(recipients.message(), "newer");
    // At the newest entry, "Next Message" starts a new message.
    form.nextMessage();
    EXPECT_EQ(form.historyPosition(), -1);
    EXPECT_TRUE(recipients.items().empty());
    EXPECT_EQ(recipients.message(), "");
}

TEST_F(ComposeFormTest, MessagesMenuLabelsAndCommands)
{
    std::vector<ComposeForm::MenuItem> items;
    EXPECT_EQ(
        form.messagesMenu(items),
        (ComposeForm::Notice {"You don't not have any saved messages.", "No Saved Messages"}));

    const std::string thirty(30, 'r');
    add(thirty + ";", std::string(30, 'm'));
    add("a;", std::string(31, 'n'));
    ASSERT_TRUE(saved.add("Weekly", "", "555-0100/3;", "standup"));
    EXPECT_EQ(form.messagesMenu(items), std::nullopt);
    const std::vector<ComposeForm::MenuItem> expected {
        {80000, "a,   " + std::string(27, 'n') + "..."},
        {80001, std::string(22, 'r') + "...,   " + std::string(30, 'm')},
        {0, ""},
        {81000, "Weekly"}};
    EXPECT_EQ(items, expected);

    EXPECT_TRUE(form.choose(81000));
    EXPECT_EQ(form.historyPosition(), 0);
    EXPECT_EQ(recipients.recipientsText(), "555-0100/3;");
    EXPECT_EQ(recipients.message(), "standup");
    EXPECT_TRUE(form.choose(80001));
    EXPECT_EQ(form.historyPosition(), 1);
    EXPECT_EQ(recipients.message(), std::string(30, 'm'));
    EXPECT_FALSE(form.choose(80002));
    EXPECT_FALSE(form.choose(81001));
}

TEST_F(ComposeFormTest, SavingWithoutRecipientsIsRefusedAndASendStartsAfresh)
{
    EXPECT_EQ(form.saveRefusal()->text,
              "Recipient list empty\rPlease add recipients and save the message again");
    ASSERT_EQ(recipients.add("555-0100/1", true), 1);
    EXPECT_EQ(form.saveRefusal(), std::nullopt);

    add("555-0100/1;", "sent");
    ASSERT_EQ(form.previousMessage(), std::nullopt);
    form.sent();
    EXPECT_EQ(form.historyPosition(), -1);
    form.clearMessage();
    EXPECT_EQ(recipients.items().size(), 1u);
    EXPECT_EQ(recipients.message(), "");
}

} // namespace
