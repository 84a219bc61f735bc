#include "net/ServicePort.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

namespace {

struct NumberCase
{
    std::string_view text;
    long number;
};

class ServicePortNumber : public testing::TestWithParam<NumberCase>
{ };

TEST_P(ServicePortNumber, ReadsLikeAtoi)
{
    EXPECT_EQ(ServicePort::readNumber(GetParam().text), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Texts, ServicePortNumber,
                         testing::Values(NumberCase {"444", 444}, NumberCase {"  444", 444},
                                         NumberCase {"444abc", 444}, NumberCase {"+12", 12},
                                         NumberCase {"-1", -1}, NumberCase {"snpp", 0},
                                         NumberCase {"", 0}, NumberCase {"0", 0},
                                         NumberCase {"00080", 80}));

TEST(ServicePortNumber, HugeNumbersStayFarOutsideThePortRangeInsteadOfOverflowing)
{
    EXPECT_GT(ServicePort::readNumber("99999999999999999999999999"), 65535);
    EXPECT_LT(ServicePort::readNumber("-99999999999999999999999999"), 0);
}

struct ResolveCase
{
    std::string_view text;
    const char* protocol;
    int port; // 0: must fail
};

class ServicePortResolve : public testing::TestWithParam<ResolveCase>
{ };

TEST_P(ServicePortResolve, GivesTheNumberOrTheServicePort)
{
    const ResolveCase& c = GetParam();
    std::uint16_t port = 0;
    std::string why;
    const bool resolved = ServicePort::resolve(c.text, c.protocol, port, why);
    if (c.port == 0) {
        EXPECT_FALSE(resolved);
        EXPECT_NE(why.find(std::string(c.text.substr(0, c.text.find('\0')))), std::string::npos)
            << why;
    } else {
        ASSERT_TRUE(resolved) << why;
        EXPECT_EQ(ntohs(port), c.port);
    }
}

using namespace std::string_view_literals;

INSTANTIATE_TEST_SUITE_P(
    Texts, ServicePortResolve,
    testing::Values(ResolveCase {"444", "tcp", 444}, ResolveCase {"65535", "tcp", 65535},
                    ResolveCase {"snpp", "tcp", 444}, ResolveCase {"http", "tcp", 80},
                    // biff exists for udp only: unknown to TCP, known to any protocol.
                    ResolveCase {"biff", "tcp", 0}, ResolveCase {"biff", nullptr, 512},
                    ResolveCase {"no-such-service", nullptr, 0}, ResolveCase {"0", "tcp", 0},
                    ResolveCase {"", "tcp", 0}, ResolveCase {"65536", "tcp", 0},
                    ResolveCase {"-1", "tcp", 0}, ResolveCase {"snpp\0x"sv, "tcp", 0}));

} // namespace
