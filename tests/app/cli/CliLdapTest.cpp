#include "CliRun.h"
#include "LdapSuiteTest.h"
#include "ScopedRegistry.h"
#include "SilentLdapServer.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr const char* ldapKey = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Ldap";

// One slapd with the sample people for the whole suite, and a private settings store for each
// test.
class CliLdapTest : public LdapSuiteTest
{
protected:
    ProcessResult cli(std::vector<std::string> arguments, const std::string& input = {})
    {
        return runCli(m_registry, std::move(arguments), input);
    }

    std::string storedValue(const std::string& name) const
    {
        const SettingsKey key(RootKey::CurrentUser, ldapKey);
        std::string data;
        return key.getString(name, data, 1024) ? data : "(missing)";
    }

    static std::string port() { return std::to_string(s_server->port()); }

    ScopedRegistry m_registry;
};

TEST_F(CliLdapTest, AServiceAddedIsListedSearchedAndRemoved)
{
    ProcessResult r = cli({"ldap", "add", "People", "--host", "127.0.0.1", "--port", port(),
                           "--base", "ou=people;dc=norvane;dc=test"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = cli({"ldap", "add", "Anywhere", "--host", "ldap.norvane.test"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(storedValue("Anywhere"), "ldap.norvane.test,389,,,");

    r = cli({"ldap", "list"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Anywhere\tldap.norvane.test\t389\t\t\n"
              "People\t127.0.0.1\t"
                  + port() + "\t\tou=people;dc=norvane;dc=test\n");

    // The rows as the window lists them, Ann Nopager below the later Anna Pager.
    r = cli({"ldap", "search", "People", "Ann*"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Anna Pager\tanna@norvane.test\t5550000/1\n"
              "Ann Nopager\tann@norvane.test\t\n");
    r = cli({"ldap", "search", "People", "Bob Smith", "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "[{\"name\":\"Bob Smith\",\"mail\":\"bob@norvane.test\","
              "\"pager\":\"snpp.norvane.test!1234\"}]\n");
    r = cli({"ldap", "search", "People", "*)(objectClass=*", "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "[]\n");

    EXPECT_EQ(cli({"ldap", "remove", "People"}).exitCode, 0);
    r = cli({"ldap", "remove", "People"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no directory service named \"People\""), std::string::npos) << r.err;
    r = cli({"ldap", "search", "People", "Bob*"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Cannot get service information"), std::string::npos) << r.err;
}

TEST_F(CliLdapTest, ALoginReadsItsPasswordFromAFileAndAWrongOneFails)
{
    const std::string passwordFile
        = m_registry.dir().write("password", std::string(LdapTestServer::adminPassword) + "\n");
    const std::string login = "cn=admin;dc=norvane;dc=test";
    ProcessResult r
        = cli({"ldap", "add", "Admin", "--host", "127.0.0.1", "--port", port(), "--login", login,
               "--password-file", passwordFile, "--base", "dc=norvane;dc=test"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(storedValue("Admin"),
              "127.0.0.1," + port() + "," + login + "," + std::string(LdapTestServer::adminPassword)
                  + ",dc=norvane;dc=test");
    r = cli({"ldap", "search", "Admin", "Other Bob"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Other Bob\t\t5559999/9\n");
    // The password never shows in the list.
    r = cli({"ldap", "list"});
    EXPECT_EQ(r.out.find(LdapTestServer::adminPassword), std::string::npos) << r.out;

    r = cli({"ldap", "add", "Admin", "--replace", "--host", "127.0.0.1", "--port", port(),
             "--login", login, "--password-file", "-"},
            "wrong\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = cli({"ldap", "search", "Admin", "Other Bob"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Cannot connect or authentcation failed"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Invalid credentials"), std::string::npos) << r.err;
}

TEST_F(CliLdapTest, BadInputIsRefusedAndNothingStored)
{
    struct Case
    {
        std::vector<std::string> arguments;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"ldap", "add", "X", "--host", "h", "--base", "dc=a,dc=b"}, 1, "cannot hold a comma"},
        {{"ldap", "add", "X", "--host", "h", "--port", "70000"}, 1, "--port takes a number"},
        {{"ldap", "add", "X", "--host", "h", "--port", "12ab"}, 1, "--port takes a number"},
        {{"ldap", "add", "X", "--host", ""}, 1, "Hostname cannot be empty"},
        {{"ldap", "add", "", "--host", "h"}, 1, "Entry Name cannot be empty"},
        {{"ldap", "add", "X", "--host", "h", "--login", "cn=a"}, 2, "go together"},
        {{"ldap", "add", "X", "--host", "h", "--login", "cn=a", "--password-file", "/nonexistent"},
         1,
         "cannot read the password file"},
        {{"ldap", "add", "X"}, 2, "add needs --host"},
        {{"ldap", "list", "--host", "h"}, 2, "go with add only"},
        {{"ldap", "list", "--json"}, 2, "--json goes with search only"},
        {{"ldap", "search", "X"}, 2, "search takes NAME and TEXT"},
        {{"ldap", "find", "X"}, 2, "unknown action"},
        {{"ldap"}, 2, "ldap needs an action"},
    };
    for (const Case& c : cases) {
        const ProcessResult r = cli(c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.arguments.back() << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_EQ(cli({"ldap", "list"}).out, "");
    EXPECT_EQ(cli({"ldap", "add", "X", "--host", "h"}).exitCode, 0);
    const ProcessResult again = cli({"ldap", "add", "X", "--host", "other"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("--replace"), std::string::npos) << again.err;
    EXPECT_EQ(storedValue("X"), "h,389,,,");
}

TEST_F(CliLdapTest, AServerThatNeverAnswersTheBindFailsAfterTheWait)
{
    SettingsKey waits(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\LdapSearch");
    ASSERT_TRUE(waits.setNumber("bindWait", 300));
    SilentLdapServer silent;
    ASSERT_EQ(cli({"ldap", "add", "Silent", "--host", "127.0.0.1", "--port",
                   std::to_string(silent.port())})
                  .exitCode,
              0);
    const ProcessResult r = cli({"ldap", "search", "Silent", "Bob"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.timedOut);
    EXPECT_NE(r.err.find("No answer from ldap://127.0.0.1:" + std::to_string(silent.port())
                         + " within 0.3 s"),
              std::string::npos)
        << r.err;
}

} // namespace

namespace {

TEST(CliLdapTls, AnLdapsHostTalksTlsAndTrustsOnlyAKnownCertificate)
{
    if (const std::string reason = LdapTestServer::tlsUnavailableReason(); !reason.empty()) {
        GTEST_SKIP() << reason;
    }
    LdapTestServer server;
    ASSERT_TRUE(server.startWithTls(ldapSamplePeople()));
    ScopedRegistry registry;
    ASSERT_EQ(runCli(registry,
                     {"ldap", "add", "Secure", "--host", server.tlsUri(), "--base",
                      "ou=people;dc=norvane;dc=test"})
                  .exitCode,
              0);
    const std::vector<std::string> search {NORVANE_CLI_PATH, "ldap", "search", "Secure", "Bob S*"};
    ProcessResult r = ProcessRunner::run(
        search,
        {{"NORVANE_REGISTRY", registry.path()}, {"LDAPTLS_CACERT", server.certificatePath()}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Bob Smith\tbob@norvane.test\tsnpp.norvane.test!1234\n");
    // Without the certificate the handshake fails: the connection was TLS.
    r = ProcessRunner::run(search,
                           {{"NORVANE_REGISTRY", registry.path()},
                            {"LDAPTLS_CACERT", registry.dir().write("other.pem", "")}});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Cannot connect or authentcation failed"), std::string::npos) << r.err;
}

} // namespace
