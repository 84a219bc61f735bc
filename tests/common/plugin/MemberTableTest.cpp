#include "plugin/MemberTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A control with one member of each shape, driven in-process through its table.
class Sample
{
public:
    std::int32_t number() const { return m_number; }
    void setNumber(std::int32_t value) { m_number = value; }
    std::int32_t index(std::int16_t value) const { return value; }
    std::int32_t join(std::string_view a, const std::string& b) const
    {
        return static_cast<std::int32_t>(a.size() * 100 + b.size());
    }
    std::string name() const { return "sample"; }
    void reset() { m_number = -1; }

    static const MemberTable<Sample>& table()
    {
        static const MemberTable<Sample> members {
            MemberTable<Sample>::getter(1, "number", &Sample::number),
            MemberTable<Sample>::setter(1, "number", &Sample::setNumber),
            MemberTable<Sample>::method(2, "index", &Sample::index),
            MemberTable<Sample>::method(3, "join", &Sample::join),
            MemberTable<Sample>::getter(4, "name", &Sample::name),
            MemberTable<Sample>::method(5, "reset", &Sample::reset),
        };
        return members;
    }

private:
    std::int32_t m_number = 7;
};

TEST(MemberTable, SignaturesComeFromTheMemberFunctions)
{
    const auto& signatures = Sample::table().signatures();
    ASSERT_EQ(signatures.size(), 6u);
    EXPECT_EQ(signatures[0].kind, CallKind::PropertyGet);
    EXPECT_EQ(signatures[0].result, DispatchType::Int32);
    EXPECT_EQ(signatures[1].kind, CallKind::PropertyPut);
    EXPECT_EQ(signatures[1].params, std::vector<DispatchType> {DispatchType::Int32});
    EXPECT_EQ(signatures[2].params, std::vector<DispatchType> {DispatchType::Int16});
    EXPECT_EQ(signatures[3].params,
              (std::vector<DispatchType> {DispatchType::Text, DispatchType::Text}));
    EXPECT_EQ(signatures[4].result, DispatchType::Text);
    EXPECT_EQ(signatures[5].result, DispatchType::Empty);
}

TEST(MemberTable, RunsTheMemberOnCheckedArguments)
{
    Sample sample;
    DispatchValue result;
    std::string error;
    const auto& table = Sample::table();
    ASSERT_EQ(table.dispatch(sample, 1, CallKind::PropertyGet, {}, result, error),
              DispatchStatus::Ok);
    EXPECT_EQ(result, DispatchValue {std::int32_t {7}});

    const std::vector<DispatchValue> put {std::int32_t {-5}};
    ASSERT_EQ(table.dispatch(sample, 1, CallKind::PropertyPut, put, result, error),
              DispatchStatus::Ok);
    EXPECT_EQ(result, DispatchValue {});
    EXPECT_EQ(sample.number(), -5);

    const std::vector<DispatchValue> texts {std::string("abc"), std::string("de")};
    ASSERT_EQ(table.dispatch(sample, 3, CallKind::Method, texts, result, error),
              DispatchStatus::Ok);
    EXPECT_EQ(result, DispatchValue {std::int32_t {302}});

    ASSERT_EQ(table.dispatch(sample, 4, CallKind::PropertyGet, {}, result, error),
              DispatchStatus::Ok);
    EXPECT_EQ(result, DispatchValue {std::string("sample")});

    ASSERT_EQ(table.dispatch(sample, 5, CallKind::Method, {}, result, error), DispatchStatus::Ok);
    EXPECT_EQ(sample.number(), -1);
}

struct CallCase
{
    const char* label;
    std::int32_t dispId;
    CallKind kind;
    std::vector<DispatchValue> args;
    DispatchStatus status;
    DispatchValue result; // when Ok
    const char* errorPart; // when failing: part of the error text
};

// Names the case in test listings.
void PrintTo(const CallCase& c, std::ostream* out)
{
    *out << '"' << c.label << '"';
}

class MemberTableCall : public testing::TestWithParam<CallCase>
{ };

TEST_P(MemberTableCall, ChecksCountTypesRangeAndKind)
{
    const CallCase& c = GetParam();
    Sample sample;
    DispatchValue result = std::string("untouched");
    std::string error;
    const DispatchStatus status
        = Sample::table().dispatch(sample, c.dispId, c.kind, c.args, result, error);
    ASSERT_EQ(status, c.status) << c.label << ": " << error;
    if (status == DispatchStatus::Ok) {
        EXPECT_EQ(result, c.result) << c.label;
    } else {
        EXPECT_NE(error.find(c.errorPart), std::string::npos) << c.label << ": " << error;
        // A refused call never ran the member.
        EXPECT_EQ(sample.number(), 7) << c.label;
    }
}

INSTANTIATE_TEST_SUITE_P(MemberCalls, MemberTableCall,
                         testing::Values(CallCase {"int16 as int16",
                                                   2,
                                                   CallKind::Method,
                                                   {std::int16_t {-3}},
                                                   DispatchStatus::Ok,
                                                   std::int32_t {-3},
                                                   ""},
                                         CallCase {"int32 narrowed at the low end",
                                                   2,
                                                   CallKind::Method,
                                                   {std::int32_t {-32768}},
                                                   DispatchStatus::Ok,
                                                   std::int32_t {-32768},
                                                   ""},
                                         CallCase {"int32 narrowed at the high end",
                                                   2,
                                                   CallKind::Method,
                                                   {std::int32_t {32767}},
                                                   DispatchStatus::Ok,
                                                   std::int32_t {32767},
                                                   ""},
                                         CallCase {"int32 below 16 bits",
                                                   2,
                                                   CallKind::Method,
                                                   {std::int32_t {-32769}},
                                                   DispatchStatus::OutOfRange,
                                                   {},
                                                   "-32769 does not fit a 16-bit integer"},
                                         CallCase {"int32 above 16 bits",
                                                   2,
                                                   CallKind::Method,
                                                   {std::int32_t {32768}},
                                                   DispatchStatus::OutOfRange,
                                                   {},
                                                   "argument 1 of index (dispatch id 2)"},
                                         CallCase {"int16 widened for a 32-bit put",
                                                   1,
                                                   CallKind::PropertyPut,
                                                   {std::int16_t {9}},
                                                   DispatchStatus::Ok,
                                                   {},
                                                   ""},
                                         CallCase {"text for a number",
                                                   2,
                                                   CallKind::Method,
                                                   {std::string("1")},
                                                   DispatchStatus::BadArgType,
                                                   {},
                                                   "must be 16-bit integer, got text"},
                                         CallCase {"number for a text",
                                                   3,
                                                   CallKind::Method,
                                                   {std::string("a"), std::int32_t {1}},
                                                   DispatchStatus::BadArgType,
                                                   {},
                                                   "argument 2 of join"},
                                         CallCase {"empty value as argument",
                                                   1,
                                                   CallKind::PropertyPut,
                                                   {DispatchValue {}},
                                                   DispatchStatus::BadArgType,
                                                   {},
                                                   "got no value"},
                                         CallCase {"too few",
                                                   3,
                                                   CallKind::Method,
                                                   {std::string("a")},
                                                   DispatchStatus::BadArgCount,
                                                   {},
                                                   "takes 2 argument(s), got 1"},
                                         CallCase {"too many",
                                                   5,
                                                   CallKind::Method,
                                                   {std::int32_t {1}},
                                                   DispatchStatus::BadArgCount,
                                                   {},
                                                   "reset (dispatch id 5)"},
                                         CallCase {"put without value",
                                                   1,
                                                   CallKind::PropertyPut,
                                                   {},
                                                   DispatchStatus::BadArgCount,
                                                   {},
                                                   "number"},
                                         CallCase {"unknown id",
                                                   99,
                                                   CallKind::Method,
                                                   {},
                                                   DispatchStatus::UnknownDispId,
                                                   {},
                                                   "no member has dispatch id 99"},
                                         CallCase {"property called as method",
                                                   1,
                                                   CallKind::Method,
                                                   {},
                                                   DispatchStatus::WrongCallKind,
                                                   {},
                                                   "number (dispatch id 1) cannot be used"},
                                         CallCase {"put on a read-only property",
                                                   4,
                                                   CallKind::PropertyPut,
                                                   {std::string("x")},
                                                   DispatchStatus::WrongCallKind,
                                                   {},
                                                   "property put"},
                                         CallCase {"method read as property",
                                                   5,
                                                   CallKind::PropertyGet,
                                                   {},
                                                   DispatchStatus::WrongCallKind,
                                                   {},
                                                   "reset"}),
                         [](const testing::TestParamInfo<CallCase>& param) {
                             return std::to_string(param.index);
                         });

} // namespace
