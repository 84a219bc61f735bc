#include "plover/ServerAddress.h"

#include <gtest/gtest.h>

namespace {

// An address text and how it splits.
struct AddressCase
{
    const char* text;
    const char* host;
    const char* port; // "" when the address gives none
};

class ServerAddressTest : public ::testing::TestWithParam<AddressCase>
{ };

TEST_P(ServerAddressTest, SplitsHostAndPort)
{
    const ServerAddress address = ServerAddress::parse(GetParam().text);
    EXPECT_EQ(address.host(), GetParam().host);
    EXPECT_EQ(address.port(), GetParam().port);
    EXPECT_EQ(address.hasHost(), *GetParam().host != '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, ServerAddressTest,
    ::testing::Values(AddressCase {"snpp.example.com:3000", "snpp.example.com", "3000"},
                      AddressCase {"10.1.2.3", "10.1.2.3", ""}, AddressCase {"host:", "host", ""},
                      AddressCase {"host:  ", "host", ""},
                      AddressCase {"host::3000", "host", "3000"},
                      AddressCase {"host: 3000", "host", "3000"},
                      AddressCase {"host:3000 and more", "host", "3000"},
                      AddressCase {"host:3000:4000", "host", "3000"},
                      AddressCase {"host:snpp", "host", "snpp"}, AddressCase {":host", "host", ""},
                      AddressCase {"::host:25", "host", "25"}, AddressCase {"", "", ""},
                      AddressCase {":", "", ""}, AddressCase {":::", "", ""}));

TEST(ServerAddress, WithoutAPortTheDefaultIsUsed)
{
    EXPECT_EQ(ServerAddress::parse("host").portOr(444), "444");
    EXPECT_EQ(ServerAddress::parse("host:").portOr(2444), "2444");
    EXPECT_EQ(ServerAddress::parse("host:3000").portOr(444), "3000");
}

} // namespace
