#include "telephony/DialString.h"

#include <gtest/gtest.h>

namespace {

TEST(DialString, TranslateJoinsAccessCodeBlankAndNumber)
{
    EXPECT_EQ(DialString::translate("9", "5551234"), "9 5551234");
    EXPECT_EQ(DialString::translate("", "5551234"), " 5551234");
    EXPECT_EQ(DialString::translate("9", ""), "");
}

struct DialableCase
{
    std::string text;
    bool dialable;
    const char* why;
};

class DialStringCheck : public testing::TestWithParam<DialableCase>
{ };

TEST_P(DialStringCheck, AcceptsOnlyWhatAModemCanDial)
{
    std::string why;
    EXPECT_EQ(DialString::isDialable(GetParam().text, why), GetParam().dialable);
    EXPECT_NE(why.find(GetParam().why), std::string::npos) << why;
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, DialStringCheck,
    testing::Values(
        DialableCase {" 5551234", true, ""}, DialableCase {"9, 1 (555) 123-4567", true, ""},
        DialableCase {"*70W 555.1234#", true, ""}, DialableCase {"+49 30 1234", true, ""},
        DialableCase {"P 555 T 1234!@", true, ""}, DialableCase {std::string(239, '5'), true, ""},
        DialableCase {std::string(240, '5'), false, "longer than 239"},
        DialableCase {"", false, "no number"}, DialableCase {"   ", false, "no number"},
        DialableCase {"555\rATH", false, "<0d>"}, DialableCase {"5551234;", false, "\";\""},
        DialableCase {"555&F", false, "\"&\""}, DialableCase {"555S0=1", false, "\"S\""},
        DialableCase {std::string("55\0"
                                  "5",
                                  4),
                      false, "<00>"}));

} // namespace
