#include "text/TextNumber.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace {

// Every case must read as the C library reads it.
class TextNumberLikeTheCLibrary : public testing::TestWithParam<const char*>
{ };

TEST_P(TextNumberLikeTheCLibrary, LeadingAndAtoi)
{
    const std::string text = GetParam();
    EXPECT_EQ(TextNumber::leading(text), std::strtol(text.c_str(), nullptr, 10)) << text;
    EXPECT_EQ(TextNumber::atoi(text),
              static_cast<std::int32_t>(std::strtol(text.c_str(), nullptr, 10)))
        << text;
}

INSTANTIATE_TEST_SUITE_P(Texts, TextNumberLikeTheCLibrary,
                         testing::Values("", "abc", "42", "  42", "\t\n 7x", "+5", "-5", "- 5",
                                         "12abc", "007", "4294967291", "-2147483648", "2147483648",
                                         "99999999999", "9223372036854775807",
                                         "9223372036854775808", "-9223372036854775808",
                                         "-9223372036854775809", "123456789012345678901234567890",
                                         "--1", "+-1"));

TEST(TextNumber, NegativeFiveIsTheUnsignedFourBillionOddInThirtyTwoBits)
{
    EXPECT_EQ(static_cast<std::uint32_t>(TextNumber::atoi("-5")), 4294967291u);
}

} // namespace
