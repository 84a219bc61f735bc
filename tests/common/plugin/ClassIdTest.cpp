#include "plugin/ClassId.h"

#include <gtest/gtest.h>

namespace {

struct ClassIdCase
{
    const char* text;
    const char* canonical; // "" when the text is not a class identifier
};

// Names the case in test listings.
void PrintTo(const ClassIdCase& c, std::ostream* out)
{
    *out << '"' << c.text << '"';
}

class ClassIdNormalize : public testing::TestWithParam<ClassIdCase>
{ };

TEST_P(ClassIdNormalize, GivesTheCanonicalFormOrNothing)
{
    const ClassIdCase& c = GetParam();
    EXPECT_EQ(ClassId::normalize(c.text), c.canonical) << c.text;
    EXPECT_EQ(ClassId::isValid(c.text), *c.canonical != '\0') << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    ClassIdTexts, ClassIdNormalize,
    testing::Values(
        ClassIdCase {"{EDFD8418-26BA-11D2-AC37-000000000000}",
                     "{EDFD8418-26BA-11D2-AC37-000000000000}"},
        ClassIdCase {"EDFD8418-26BA-11D2-AC37-000000000000",
                     "{EDFD8418-26BA-11D2-AC37-000000000000}"},
        ClassIdCase {"{518b4086-2747-11d2-ac39-000000000000}",
                     "{518B4086-2747-11D2-AC39-000000000000}"},
        ClassIdCase {"", ""}, ClassIdCase {"{}", ""},
        // One brace only, a missing digit, a digit too many, a dash out of place, a non-hex.
        ClassIdCase {"{EDFD8418-26BA-11D2-AC37-000000000000", ""},
        ClassIdCase {"EDFD8418-26BA-11D2-AC37-000000000000}", ""},
        ClassIdCase {"{EDFD841-26BA-11D2-AC37-000000000000}", ""},
        ClassIdCase {"{EDFD84188-26BA-11D2-AC37-000000000000}", ""},
        ClassIdCase {"{EDFD8418026BA-11D2-AC37-000000000000}", ""},
        ClassIdCase {"{EDFD841G-26BA-11D2-AC37-000000000000}", ""},
        ClassIdCase {" {EDFD8418-26BA-11D2-AC37-000000000000}", ""},
        ClassIdCase {"KESTREL.KestrelCtrl.1", ""}));

TEST(ClassId, EqualComparesWithoutCaseOrBraces)
{
    EXPECT_TRUE(ClassId::equal("{edfd8418-26ba-11d2-ac37-000000000000}",
                               "EDFD8418-26BA-11D2-AC37-000000000000"));
    EXPECT_FALSE(ClassId::equal("{EDFD8418-26BA-11D2-AC37-000000000000}",
                                "{518B4086-2747-11D2-AC39-000000000000}"));
    // Two malformed texts are not "the same class".
    EXPECT_FALSE(ClassId::equal("junk", "junk"));
}

} // namespace
