#include "directories/DirectorySearchForm.h"

#include "ScopedRegistry.h"
#include "directories/DirectoryRowBuilder.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

namespace {

// slapd always sends the schema's own names, so other spellings are fed to the walk here.
TEST(DirectoryRowBuilder, AttributeNamesInAnotherCaseAreNotShown)
{
    DirectoryRowBuilder builder;
    for (const auto& [name, value] : {std::pair {"CN", "Shouting"},
                                      {"cn", "Quiet"},
                                      {"Mail", "big@norvane.test"},
                                      {"mail", "q@norvane.test"},
                                      {"PAGER", "1/1"},
                                      {"commonName", "Alias"},
                                      {"pager", "2/2"}}) {
        builder.attribute(name, value);
    }
    builder.endEntry();
    // An entry whose name comes only as "CN" shows nothing at all.
    builder.attribute("CN", "Only Shouting");
    builder.attribute("pager", "3/3");
    builder.endEntry();
    builder.attribute("cn", "Next");
    EXPECT_EQ(builder.take(),
              (std::vector<DirectoryRow> {{"Quiet", "q@norvane.test", "2/2"}, {"Next", "", ""}}));
    EXPECT_TRUE(builder.rows().empty());
}

TEST(DirectoryRowBuilder, AnEntrysMailAndPagerStayInItsOwnRowWhateverTheirOrder)
{
    DirectoryRowBuilder builder;
    // An entry without a pager does not advance the index...
    builder.attribute("cn", "No Pager");
    builder.attribute("mail", "np@norvane.test");
    builder.endEntry();
    // ...so the next one goes above it, and its mail and pager sent before its name are its own.
    builder.attribute("mail", "late@norvane.test");
    builder.attribute("pager", "9/9");
    builder.attribute("cn", "Late");
    builder.endEntry();
    builder.attribute("cn", "Later");
    builder.attribute("pager", "8/8");
    EXPECT_EQ(builder.take(),
              (std::vector<DirectoryRow> {{"Late", "late@norvane.test", "9/9"},
                                          {"Later", "", "8/8"},
                                          {"No Pager", "np@norvane.test", ""}}));
}

struct CutCase
{
    std::vector<std::string> pagers;
    std::string expected;
};

class AddToRecipientsCut : public testing::TestWithParam<CutCase>
{ };

TEST_P(AddToRecipientsCut, TheListNeverReaches127Characters)
{
    DirectorySearchForm form;
    std::vector<DirectoryRow> rows;
    std::vector<std::size_t> all;
    for (const std::string& pager : GetParam().pagers) {
        all.push_back(rows.size());
        rows.push_back({"n", "", pager});
    }
    form.setRows(rows);
    EXPECT_EQ(form.addToRecipients(all), std::nullopt);
    EXPECT_EQ(form.recipients(), GetParam().expected);
    EXPECT_LT(form.recipients().size(), 127u);
}

const std::string a60(60, 'a');
const std::string b64(64, 'b');
const std::string c65(65, 'c');

INSTANTIATE_TEST_SUITE_P(
    Lengths, AddToRecipientsCut,
    testing::Values(
        // 61 + 65 = 126 characters: fits.
        CutCase {{a60, b64}, a60 + ';' + b64 + ';'},
        // 61 + 66 would make 127: the second is left out, and so is everything after it.
        CutCase {{a60, c65, "1/1"}, a60 + ';'},
        // An address of 127 characters or more never fits.
        CutCase {{std::string(126, 'x'), "1/1"}, ""}),
    [](const testing::TestParamInfo<CutCase>& param) { return std::to_string(param.index); });

TEST(DirectorySearchForm, SelectionsOutsideTheRowsAreIgnored)
{
    DirectorySearchForm form;
    form.setRows({{"n", "", "1/1"}});
    EXPECT_EQ(form.addToRecipients({5, 0}), std::nullopt);
    EXPECT_EQ(form.recipients(), "1/1;");
}

TEST(DirectorySearchForm, ServicesAreListedSortedAndReadByName)
{
    ScopedRegistry registry;
    SettingsKey key(RootKey::CurrentUser, LdapService::key);
    ASSERT_TRUE(key.setString("Zeta", "z.norvane.test,0,,,dc=z"));
    ASSERT_TRUE(key.setString("Alpha", "a.norvane.test,1389,cn=me,pw,dc=a"));
    ASSERT_TRUE(key.setString("NoHost", ",389,,,dc=n"));
    EXPECT_EQ(DirectorySearchForm::serviceNames(),
              (std::vector<std::string> {"Alpha", "NoHost", "Zeta"}));

    DirectoryMessage message;
    EXPECT_EQ(DirectorySearchForm::readService("Alpha", message),
              (LdapService {"a.norvane.test", 1389, "cn=me", "pw", "dc=a"}));
    EXPECT_EQ(DirectorySearchForm::readService("Zeta", message)->port, 389);
    for (const char* unusable : {"Missing", "NoHost", ""}) {
        message = {};
        EXPECT_EQ(DirectorySearchForm::readService(unusable, message), std::nullopt) << unusable;
        EXPECT_EQ(message, (DirectoryMessage {"Cannot get service information", "LDAP Error"}));
    }
}

TEST(DirectorySearchForm, EachFailureHasItsMessage)
{
    using F = DirectorySearchForm;
    EXPECT_EQ(F::failureMessage(LdapError::None, ""), std::nullopt);
    EXPECT_EQ(F::failureMessage(LdapError::Stopped, "stopped"), std::nullopt);
    EXPECT_EQ(F::failureMessage(LdapError::NoService, "x"),
              (DirectoryMessage {"Cannot get service information", "LDAP Error"}));
    EXPECT_EQ(F::failureMessage(LdapError::Connect, "x"),
              (DirectoryMessage {"Cannot connect or authentcation failed", "Connect Failed"}));
    EXPECT_EQ(F::failureMessage(LdapError::Search, "The search failed: Busy"),
              (DirectoryMessage {"The search failed: Busy", "LDAP Error"}));
    EXPECT_EQ(F::failureMessage(LdapError::TimedOut, "The search took longer than 30 s"),
              (DirectoryMessage {"The search took longer than 30 s", "LDAP Error"}));
    EXPECT_EQ(F::bindQuestion(),
              (DirectoryMessage {"Remote server timeout. Do you want to continue to wait?",
                                 "Connect Timeout"}));
}

} // namespace
