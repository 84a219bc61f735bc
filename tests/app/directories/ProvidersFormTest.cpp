#include "directories/ProvidersForm.h"

#include "DirectoryTestSupport.h"
#include "RecordingPrompt.h"

#include <gtest/gtest.h>

namespace {

using Answer = ProvidersForm::DeleteAnswer;

// A provider database in a private home with two providers.
struct ProvidersFixture : testing::Test
{
    void SetUp() override
    {
        setPath("home", registry.dir().path());
        prompt->choices.push_back({LocateChoice::Action::Create, {}});
        ASSERT_TRUE(database.open());
        ASSERT_TRUE(database.add("Acme", "5551111"));
        ASSERT_TRUE(database.add("Brave", "5552222"));
    }

    std::string phoneOf(const std::string& name)
    {
        std::string phone;
        return database.getPhone(name, phone) ? phone : "(none)";
    }

    ScopedRegistry registry;
    std::shared_ptr<RecordingPrompt> prompt = std::make_shared<RecordingPrompt>();
    ProviderDatabase database {prompt};
    ProvidersForm form {database};
};

TEST_F(ProvidersFixture, RowsAreTheIterationReadToItsEnd)
{
    const auto rows = form.rows();
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0].name, "Acme");
    EXPECT_EQ(rows[1].phone, "5552222");
}

TEST_F(ProvidersFixture, AddRefusesAnEmptyNameOrNumberBeforeAsking)
{
    int asked = 0;
    const auto confirm = [&] { return ++asked, true; };
    EXPECT_EQ(form.add("", "555", confirm).messageId, ProvidersForm::noNameId);
    EXPECT_EQ(form.add("Acme", "", confirm).messageId, ProvidersForm::noPhoneId);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(phoneOf("Acme"), "5551111");
}

TEST_F(ProvidersFixture, ReplacingAsksAndChangesOnlyThatProvider)
{
    int asked = 0;
    auto outcome = form.add("ACME", "5559999", [&] { return ++asked, false; });
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(outcome.changed);
    EXPECT_EQ(phoneOf("Acme"), "5551111");

    outcome = form.add("ACME", "5559999", [&] { return ++asked, true; });
    EXPECT_TRUE(outcome.changed);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(phoneOf("acme"), "5559999");
    EXPECT_EQ(phoneOf("Brave"), "5552222");
    EXPECT_EQ(form.rows().size(), 2U);
}

TEST_F(ProvidersFixture, AFailedReplaceKeepsTheOldNumber)
{
    // A number too long for its field is refused, and the provider stays as it was (a
    // delete-then-add would have lost it).
    const auto outcome = form.add("Acme", std::string(60, '5'), [] { return true; });
    EXPECT_FALSE(outcome.changed);
    EXPECT_FALSE(outcome.error.empty());
    EXPECT_EQ(phoneOf("Acme"), "5551111");
}

TEST_F(ProvidersFixture, AddingANewNameDoesNotAsk)
{
    const auto outcome = form.add("Gamma", "5553333", [] {
        ADD_FAILURE() << "asked for a new name";
        return false;
    });
    EXPECT_TRUE(outcome.changed);
    EXPECT_EQ(phoneOf("Gamma"), "5553333");
}

TEST_F(ProvidersFixture, DeleteAsksPerRowAndCancelDeletesNothing)
{
    std::vector<std::string> asked;
    auto outcome = form.remove({"Acme", "Brave"}, [&](const std::string& name) {
        asked.push_back(name);
        return asked.size() == 1 ? Answer::Yes : Answer::Cancel;
    });
    EXPECT_EQ(asked, (std::vector<std::string> {"Acme", "Brave"}));
    EXPECT_TRUE(outcome.removed.empty());
    EXPECT_EQ(form.rows().size(), 2U);

    outcome = form.remove({"Acme", "Brave"}, [](const std::string& name) {
        return name == "Acme" ? Answer::No : Answer::Yes;
    });
    EXPECT_EQ(outcome.removed, (std::vector<std::string> {"Brave"}));
    EXPECT_EQ(phoneOf("Brave"), "(none)");
    EXPECT_EQ(phoneOf("Acme"), "5551111");
}

TEST(ProvidersForm, DeleteQuestionNamesTheProvider)
{
    EXPECT_EQ(ProvidersForm::deleteQuestion("Acme"), "Delete paging service provider \"Acme\"?");
}

} // namespace
