#include "directories/LdapDirectory.h"

#include "FreePort.h"
#include "LdapSuiteTest.h"
#include "ScopedRegistry.h"
#include "SilentLdapServer.h"
#include "directories/DirectorySearchForm.h"
#include "directories/DirectorySettings.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// One slapd with the sample people for the whole suite.
class LdapDirectoryTest : public LdapSuiteTest
{
protected:
    // A DN as the stored form holds it: ";" between its parts, since it cannot hold a comma.
    static std::string stored(std::string_view dn)
    {
        std::string text(dn);
        std::replace(text.begin(), text.end(), ',', ';');
        return text;
    }

    static LdapService anonymous(std::string_view base = LdapTestServer::peopleBase)
    {
        return {"127.0.0.1", s_server->port(), "", "", stored(base)};
    }

    // The rows of one search, failing the test when it fails.
    static std::vector<DirectoryRow> found(const LdapService& service, const std::string& name)
    {
        LdapDirectory directory(service);
        std::vector<DirectoryRow> rows;
        EXPECT_TRUE(directory.search(name, rows)) << directory.lastErrorText();
        return rows;
    }
};

TEST_F(LdapDirectoryTest, AnAnonymousBindSearchesUnderTheServicesBaseOnly)
{
    const std::vector<DirectoryRow> people = found(anonymous(), "Bob Smith");
    EXPECT_EQ(
        people,
        (std::vector<DirectoryRow> {{"Bob Smith", "bob@norvane.test", "snpp.norvane.test!1234"}}));
    // "Other Bob" lives outside the people base: found only from the suffix.
    EXPECT_EQ(found(anonymous(), "Other Bob").size(), 0u);
    EXPECT_EQ(found(anonymous(LdapTestServer::suffix), "Other Bob").size(), 1u);

    LdapDirectory missingBase(anonymous("ou=nobody,dc=norvane,dc=test"));
    std::vector<DirectoryRow> rows;
    EXPECT_FALSE(missingBase.search("Bob*", rows));
    EXPECT_EQ(missingBase.lastError(), LdapError::Search);
    EXPECT_NE(missingBase.lastErrorText().find("No such object"), std::string::npos)
        << missingBase.lastErrorText();
}

TEST_F(LdapDirectoryTest, TheStoredPortIsUsedAndAZeroOrEmptyPortMeans389)
{
    const std::string port = std::to_string(s_server->port());
    // The stored value as the settings keep it, through the parsing the windows use.
    const LdapService service
        = LdapService::parse("127.0.0.1," + port + ",,," + stored(LdapTestServer::peopleBase));
    EXPECT_EQ(service.port, s_server->port());
    EXPECT_EQ(found(service, "Bob Smith").size(), 1u);
    for (const char* stored : {"ldap.norvane.test,0,,,dc=x", "ldap.norvane.test,,,,dc=x"}) {
        EXPECT_EQ(LdapDirectory::uriOf(LdapService::parse(stored)), "ldap://ldap.norvane.test:389")
            << stored;
    }
    EXPECT_EQ(LdapDirectory::uriOf({"::1", 636, "", "", ""}), "ldap://[::1]:636");
}

TEST(LdapDirectoryDn, AStoredDnWithSemicolonsIsSentWithCommas)
{
    EXPECT_EQ(LdapDirectory::dnOf("ou=people;dc=norvane;dc=test"), "ou=people,dc=norvane,dc=test");
    // An escaped ";" stays part of its value.
    EXPECT_EQ(LdapDirectory::dnOf("cn=a\\;b;dc=test"), "cn=a\\3Bb,dc=test");
    EXPECT_EQ(LdapDirectory::dnOf("dc=test"), "dc=test");
    EXPECT_EQ(LdapDirectory::dnOf(""), "");
}

TEST_F(LdapDirectoryTest, AHostWrittenAsAUriIsUsedAsSuchWithTlsForLdaps)
{
    // The port field is ignored when the host is a URI.
    LdapService service = anonymous();
    service.host = "LDAP://127.0.0.1:" + std::to_string(s_server->port());
    service.port = 0;
    EXPECT_EQ(found(service, "Bob Smith").size(), 1u);

    // ldaps talks TLS at once, which the plain test server cannot answer.
    service.host = "ldaps://127.0.0.1:" + std::to_string(s_server->port());
    LdapDirectory tls(service);
    tls.setBindWait(5s);
    EXPECT_FALSE(tls.connect(nullptr));
    EXPECT_EQ(tls.lastError(), LdapError::Connect) << tls.lastErrorText();
}

TEST_F(LdapDirectoryTest, RowsFollowTheAttributeOrderTheServerSends)
{
    // Bobby Tables sends cn, mail, pager: one row each.
    EXPECT_EQ(
        found(anonymous(), "Bob*"),
        (std::vector<DirectoryRow> {{"Bob Smith", "bob@norvane.test", "snpp.norvane.test!1234"},
                                    {"Bobby Tables", "bobby@norvane.test", "5551234/77"}}));
    // Cyd Reversed sends mail and pager before cn: they stay in Cyd's own row, which goes
    // above Cy Nopager's (an entry without a pager does not advance the index). Cy Nopager is
    // never given Cyd's pager.
    EXPECT_EQ(
        found(anonymous(), "Cy*"),
        (std::vector<DirectoryRow> {{"Cyd Reversed", "cyd@norvane.test", "snpp.norvane.test!42"},
                                    {"Cy Nopager", "cy@norvane.test", ""}}));
}

TEST_F(LdapDirectoryTest, AnEntryWithoutPagerGoesBelowLaterRowsAndCannotBeAdded)
{
    DirectorySearchForm form;
    form.setRows(found(anonymous(), "Ann*"));
    ASSERT_EQ(form.rows(),
              (std::vector<DirectoryRow> {{"Anna Pager", "anna@norvane.test", "5550000/1"},
                                          {"Ann Nopager", "ann@norvane.test", ""}}));
    const auto message = form.addToRecipients({0, 1});
    ASSERT_TRUE(message);
    EXPECT_EQ(
        *message,
        (DirectoryMessage {"Please select entries with pager address", "Pager Address Empty"}));
    // A refused press adds nothing, so choosing again never hands an address back twice.
    EXPECT_EQ(form.recipients(), "");
    EXPECT_EQ(form.addToRecipients({0}), std::nullopt);
    EXPECT_EQ(form.recipients(), "5550000/1;");
}

TEST_F(LdapDirectoryTest, AServerAtItsSizeLimitStillListsWhatItSent)
{
    LdapTestServer limited;
    limited.setSizeLimit(2);
    ASSERT_TRUE(limited.start(ldapSamplePeople()));
    LdapService service = anonymous();
    service.port = limited.port();
    EXPECT_EQ(found(service, "*").size(), 2u);
}

TEST_F(LdapDirectoryTest, AnEmptyNameOrAnInjectedFilterFindsNothing)
{
    EXPECT_EQ(found(anonymous(), "").size(), 0u);
    EXPECT_EQ(found(anonymous(), "*").size(), 6u);
    // Unescaped, this would make "(cn=*)(objectClass=*)" and list everyone; escaped, it looks
    // for a name holding those characters.
    for (const char* typed : {"*)(objectClass=*", "*)(|(cn=*", "Bob Smith)(mail=*", "\\2a"}) {
        EXPECT_EQ(found(anonymous(LdapTestServer::suffix), typed).size(), 0u) << typed;
    }
}

TEST_F(LdapDirectoryTest, ALoginBindsAndAWrongPasswordIsRefused)
{
    LdapService admin {"127.0.0.1", s_server->port(), stored(LdapTestServer::adminDn),
                       std::string(LdapTestServer::adminPassword),
                       stored(LdapTestServer::peopleBase)};
    ASSERT_TRUE(admin.format()) << "the login and base must be storable";
    EXPECT_EQ(found(admin, "Bob Smith").size(), 1u);

    admin.password = "wrong";
    LdapDirectory directory(admin);
    ASSERT_FALSE(directory.connect(nullptr));
    EXPECT_EQ(directory.lastError(), LdapError::Connect);
    EXPECT_NE(directory.lastErrorText().find("Invalid credentials"), std::string::npos)
        << directory.lastErrorText();
    EXPECT_EQ(DirectorySearchForm::failureMessage(directory.lastError(), directory.lastErrorText()),
              (DirectoryMessage {"Cannot connect or authentcation failed", "Connect Failed"}));
    // A search connects by itself and fails the same way instead of searching anonymously.
    std::vector<DirectoryRow> rows;
    EXPECT_FALSE(directory.search("Bob Smith", rows));
    EXPECT_EQ(directory.lastError(), LdapError::Connect);
    EXPECT_TRUE(rows.empty());
}

TEST_F(LdapDirectoryTest, ManyRowsAreCutBeforeTheAddressListReaches127Characters)
{
    DirectorySearchForm form;
    form.setRows(found(anonymous(), "*"));
    std::vector<std::size_t> withPager;
    for (std::size_t i = 0; i < form.rows().size(); ++i) {
        if (!form.rows()[i].pager.empty()) {
            withPager.push_back(i);
        }
    }
    for (int press = 0; press < 4; ++press) {
        EXPECT_EQ(form.addToRecipients(withPager), std::nullopt);
    }
    EXPECT_LT(form.recipients().size(), DirectorySearchForm::maxListLength);
    // Everything that fitted went in: the next pager would have reached the limit.
    EXPECT_GE(form.recipients().size() + form.rows()[withPager[0]].pager.size() + 1,
              DirectorySearchForm::maxListLength);
}

TEST(LdapDirectoryConnect, APortNobodyListensOnFailsAtOnceNamingTheServer)
{
    const FreePort nobody;
    LdapDirectory directory({"127.0.0.1", nobody.number(), "", "", ""});
    int asked = 0;
    ASSERT_FALSE(directory.connect([&asked] { return ++asked < 100; }));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(directory.lastError(), LdapError::Connect);
    EXPECT_NE(directory.lastErrorText().find("ldap://127.0.0.1:" + nobody.text()),
              std::string::npos)
        << directory.lastErrorText();
}

// The waits come from the settings, shortened here.
class LdapDirectoryWaitTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SettingsKey key(RootKey::CurrentUser, DirectorySettings::LdapSearch::key);
        ASSERT_TRUE(key.write(DirectorySettings::LdapSearch::bindWait, 200));
        ASSERT_TRUE(key.write(DirectorySettings::LdapSearch::searchLimit, 300));
    }
    ScopedRegistry m_registry;
};

TEST_F(LdapDirectoryWaitTest, AnUnansweredBindAsksAfterEachWaitUntilTheUserGivesUp)
{
    SilentLdapServer server;
    LdapDirectory directory({"127.0.0.1", server.port(), "", "", ""});
    directory.useSettings();
    int asked = 0;
    const auto started = Clock::now();
    ASSERT_FALSE(directory.connect([&asked] { return ++asked < 3; }));
    const auto took = Clock::now() - started;
    EXPECT_EQ(asked, 3);
    EXPECT_GE(took, 600ms);
    EXPECT_LT(took, 5s);
    EXPECT_EQ(directory.lastError(), LdapError::TimedOut);
    EXPECT_EQ(server.accepted(), 1);
}

TEST_F(LdapDirectoryWaitTest, ASearchTheServerNeverAnswersEndsAtItsLimit)
{
    SilentLdapServer server(true);
    LdapDirectory directory({"127.0.0.1", server.port(), "", "", "dc=norvane,dc=test"});
    directory.useSettings();
    ASSERT_TRUE(directory.connect(nullptr)) << directory.lastErrorText();
    std::vector<DirectoryRow> rows {{"stale", "", ""}};
    const auto started = Clock::now();
    EXPECT_FALSE(directory.search("Bob", rows));
    const auto took = Clock::now() - started;
    EXPECT_EQ(directory.lastError(), LdapError::TimedOut);
    EXPECT_NE(directory.lastErrorText().find("took longer than 0.3 s"), std::string::npos)
        << directory.lastErrorText();
    EXPECT_TRUE(rows.empty());
    EXPECT_GE(took, 300ms);
    EXPECT_LT(took, 5s);
}

TEST_F(LdapDirectoryWaitTest, StopFromAnotherThreadEndsAWaitPromptly)
{
    SettingsKey key(RootKey::CurrentUser, DirectorySettings::LdapSearch::key);
    ASSERT_TRUE(key.write(DirectorySettings::LdapSearch::searchLimit, 60000));
    ASSERT_TRUE(key.write(DirectorySettings::LdapSearch::bindWait, 60000));
    for (const bool answerBinds : {false, true}) {
        SilentLdapServer server(answerBinds);
        LdapDirectory directory({"127.0.0.1", server.port(), "", "", ""});
        directory.useSettings();
        std::vector<DirectoryRow> rows;
        const auto started = Clock::now();
        std::thread stopper([&directory] {
            std::this_thread::sleep_for(200ms);
            directory.stop();
        });
        EXPECT_FALSE(directory.search("Bob", rows));
        stopper.join();
        EXPECT_EQ(directory.lastError(), LdapError::Stopped) << directory.lastErrorText();
        EXPECT_LT(Clock::now() - started, 5s);
        EXPECT_EQ(
            DirectorySearchForm::failureMessage(directory.lastError(), directory.lastErrorText()),
            std::nullopt);
    }
}

} // namespace
