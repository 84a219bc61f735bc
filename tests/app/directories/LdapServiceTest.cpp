#include "directories/LdapService.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase
{
    const char* data;
    LdapService expected;
};

class LdapServiceParse : public testing::TestWithParam<ParseCase>
{ };

TEST_P(LdapServiceParse, FieldsAreTakenByPosition)
{
    EXPECT_EQ(LdapService::parse(GetParam().data), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    StoredData, LdapServiceParse,
    testing::Values(ParseCase {"ldap.example.com,1389,cn=admin,secret,dc=example,dc=com",
                               {"ldap.example.com", 1389, "cn=admin", "secret", "dc=example"}},
                    ParseCase {"127.0.0.1,0,,,dc=test", {"127.0.0.1", 389, "", "", "dc=test"}},
                    ParseCase {"127.0.0.1,,,,", {"127.0.0.1", 389, "", "", ""}},
                    ParseCase {"host only", {"host only", 389, "", "", ""}},
                    ParseCase {"h,x12,a", {"h", 389, "a", "", ""}},
                    ParseCase {"", {"", 389, "", "", ""}}));

TEST(LdapServiceFormat, ACommaOrAnOverlongEntryIsRefusedInsteadOfCorruptingIt)
{
    LdapService service {"127.0.0.1", 389, "cn=reader", "pw", "dc=test"};
    EXPECT_EQ(service.format(), "127.0.0.1,389,cn=reader,pw,dc=test");
    EXPECT_EQ(LdapService::parse(*service.format()), service);

    std::string problem;
    service.base = "dc=example,dc=com";
    EXPECT_EQ(service.format(&problem), std::nullopt);
    EXPECT_EQ(problem, "Directory Base cannot hold a comma");
    service.base = std::string(130, 'b');
    EXPECT_EQ(service.format(&problem), std::nullopt);
    EXPECT_EQ(problem, "The entry is longer than 127 characters");
}

TEST(LdapServiceFilter, TypedTextCannotChangeTheFilter)
{
    EXPECT_EQ(LdapService::nameFilter("Bob*"), "(cn=Bob*)");
    EXPECT_EQ(LdapService::nameFilter("*)(objectClass=*"), "(cn=*\\29\\28objectClass=*)");
    EXPECT_EQ(LdapService::nameFilter(std::string("a\\b\0c", 5)), "(cn=a\\5cb\\00c)");
    EXPECT_EQ(LdapService::nameFilter(std::string(200, 'x')).size(), 127u + 5u);
    // A two-byte character across the cut goes whole.
    EXPECT_EQ(LdapService::nameFilter(std::string(126, 'x') + "\xC3\xA9z"),
              "(cn=" + std::string(126, 'x') + ")");
}

} // namespace
