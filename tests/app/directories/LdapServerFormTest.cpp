#include "directories/LdapServerForm.h"

#include "ScopedRegistry.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Fields = LdapServerForm::Fields;

Fields filled()
{
    Fields fields;
    fields.name = "Test Directory";
    fields.host = "127.0.0.1";
    fields.port = "1389";
    fields.base = "dc=test";
    fields.login = "cn=reader";
    fields.password = "pw";
    return fields;
}

struct RefusalCase
{
    const char* what;
    std::function<void(Fields&)> change;
    std::string message;
};

class LdapServerFormRefusal : public testing::TestWithParam<RefusalCase>
{ };

// Every refusal leaves the stored entry as it was.
TEST_P(LdapServerFormRefusal, OkIsRefusedWithItsMessageAndNothingIsWritten)
{
    ScopedRegistry registry;
    SettingsKey key(RootKey::CurrentUser, LdapService::key);
    ASSERT_TRUE(key.setString("Test Directory", "old.example.com,389,,,dc=old"));
    Fields fields = filled();
    GetParam().change(fields);
    LdapServerForm form = LdapServerForm::forNew();
    form.setFields(fields);
    EXPECT_EQ(form.accept(key), GetParam().message);
    std::string stored;
    EXPECT_TRUE(key.getString("Test Directory", stored, 128));
    EXPECT_EQ(stored, "old.example.com,389,,,dc=old");
}

INSTANTIATE_TEST_SUITE_P(
    Checks, LdapServerFormRefusal,
    testing::Values(
        // The name is checked before the host.
        RefusalCase {"EmptyName", [](Fields& f) { f.name.clear(), f.host.clear(); },
                     "Entry Name cannot be empty"},
        RefusalCase {"EmptyHost", [](Fields& f) { f.host.clear(); }, "Hostname cannot be empty"},
        RefusalCase {"CommaInName", [](Fields& f) { f.name = "Test Directory,2"; },
                     "Name cannot hold a comma"},
        RefusalCase {"CommaInHost", [](Fields& f) { f.host = "a,b"; },
                     "Host Name cannot hold a comma"},
        RefusalCase {
            "CommaInBase", [](Fields& f) { f.base = "dc=example,dc=com"; },
            "Directory Base cannot hold a comma: separate the parts of the name with \";\" "
            "(dc=example;dc=com)"},
        RefusalCase {"CommaInLogin", [](Fields& f) { f.login = "cn=a,dc=b"; },
                     "Login Name cannot hold a comma: separate the parts of the name with \";\" "
                     "(dc=example;dc=com)"},
        RefusalCase {"CommaInPassword", [](Fields& f) { f.password = "p,w"; },
                     "Password cannot hold a comma"},
        RefusalCase {"PortNotANumber", [](Fields& f) { f.port = "38x"; },
                     "Port must be a number from 1 to 65535"},
        RefusalCase {"PortTooLarge", [](Fields& f) { f.port = "70000"; },
                     "Port must be a number from 1 to 65535"},
        RefusalCase {"Overlong", [](Fields& f) { f.base = std::string(120, 'b'); },
                     "The entry is longer than 127 characters"}),
    [](const testing::TestParamInfo<RefusalCase>& param) { return param.param.what; });

TEST(LdapServerForm, AnEntryWrittenIsReadBackAndAnEmptyOrZeroPortIsTheDefault)
{
    ScopedRegistry registry;
    SettingsKey key(RootKey::CurrentUser, LdapService::key);
    LdapServerForm form = LdapServerForm::forNew();
    EXPECT_EQ(form.fields().name, "NoName");
    EXPECT_EQ(form.fields().port, "389");
    form.setFields(filled());
    ASSERT_EQ(form.accept(key), "");
    std::string stored;
    EXPECT_TRUE(key.getString("Test Directory", stored, 128));
    EXPECT_EQ(stored, "127.0.0.1,1389,cn=reader,pw,dc=test");

    const LdapServerForm reopened = LdapServerForm::forEntry(key, "Test Directory");
    EXPECT_EQ(reopened.openMessage(), "");
    EXPECT_EQ(reopened.fields().host, "127.0.0.1");
    EXPECT_EQ(reopened.fields().port, "1389");
    EXPECT_EQ(reopened.fields().login, "cn=reader");
    EXPECT_EQ(reopened.fields().password, "pw");
    EXPECT_EQ(reopened.fields().base, "dc=test");

    for (const char* port : {"", "0", " 0 "}) {
        Fields fields = filled();
        fields.port = port;
        form.setFields(fields);
        ASSERT_EQ(form.accept(key), "") << port;
        EXPECT_TRUE(key.getString("Test Directory", stored, 128));
        EXPECT_EQ(stored, "127.0.0.1,389,cn=reader,pw,dc=test") << port;
    }
    ASSERT_TRUE(key.setString("Zero Port", "ldap.test,0,,,"));
    EXPECT_EQ(LdapServerForm::forEntry(key, "Zero Port").fields().port, "389");
}

TEST(LdapServerForm, AMissingEntryOpensEmptyWithItsMessageAndAFailedWriteIsReported)
{
    ScopedRegistry registry;
    SettingsKey key(RootKey::CurrentUser, LdapService::key);
    const LdapServerForm missing = LdapServerForm::forEntry(key, "Gone");
    EXPECT_EQ(missing.openMessage(), "Failed to find entry");
    EXPECT_EQ(missing.fields().name, "Gone");
    EXPECT_EQ(missing.fields().host, "");

    LdapServerForm form = LdapServerForm::forNew();
    form.setFields(filled());
    key.close();
    EXPECT_EQ(form.accept(key), "Failed to write to database");
}

} // namespace
