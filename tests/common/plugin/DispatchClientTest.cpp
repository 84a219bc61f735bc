#include "plugin/DispatchClient.h"

#include "PluginFiles.h"
#include "ScopedRegistry.h"
#include "TestClassIds.h"
#include "plugin/ControlLoader.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace TestClassIds;

namespace {

// A test driver control made from the test plug-in's file (registration has its own tests).
class DispatchClientTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_driver = m_loader.createFromFile(PluginFiles::testPlugin, driver);
        ASSERT_TRUE(m_driver.isValid()) << m_loader.lastErrorText();
    }

    ScopedRegistry m_scoped;
    ControlLoader m_loader;
    DispatchClient m_driver;
};

TEST_F(DispatchClientTest, PropertiesOfIntegerAndText)
{
    std::int32_t level = -1;
    ASSERT_TRUE(m_driver.getInt(DebugLevel, level)) << m_driver.lastErrorText();
    EXPECT_EQ(level, 0);
    ASSERT_TRUE(m_driver.setInt(DebugLevel, -2147483647 - 1));
    ASSERT_TRUE(m_driver.getInt(DebugLevel, level));
    EXPECT_EQ(level, -2147483647 - 1);

    std::string name = "junk";
    ASSERT_TRUE(m_driver.getText(ProviderName, name));
    EXPECT_EQ(name, "");
    const std::string longName(5000, 'p');
    ASSERT_TRUE(m_driver.setText(ProviderName, longName));
    ASSERT_TRUE(m_driver.getText(ProviderName, name));
    EXPECT_EQ(name, longName);
    EXPECT_EQ(m_driver.lastError(), DispatchStatus::Ok);
    EXPECT_EQ(m_driver.lastErrorText(), "");
}

TEST_F(DispatchClientTest, MethodsWithTextAndSixteenBitArguments)
{
    ASSERT_TRUE(m_driver.callMethod(Clear));
    std::int32_t code = -1;
    ASSERT_TRUE(
        m_driver.callInt(AddMessage, {std::string("1234"), std::string("Call home")}, code));
    EXPECT_EQ(code, 0);
    ASSERT_TRUE(m_driver.callInt(AddMessage, {std::string("x"), std::string("")}, code));
    ASSERT_TRUE(m_driver.callInt(AddMessage, {std::string("77"), std::string("third")}, code));
    ASSERT_TRUE(m_driver.callInt(AddMessage, {std::string("88"), std::string("fourth")}, code));
    EXPECT_EQ(code, 207);

    std::int32_t count = 0;
    ASSERT_TRUE(m_driver.callInt(GetMessageCount, {}, count));
    EXPECT_EQ(count, maxMessages);
    std::string text;
    ASSERT_TRUE(m_driver.callText(DescribeMessage, {std::int16_t {0}}, text));
    EXPECT_EQ(text, "1234:Call home");
    ASSERT_TRUE(m_driver.callText(DescribeMessage, {std::int16_t {1}}, text));
    EXPECT_EQ(text, "0:");

    ASSERT_TRUE(m_driver.callInt(GetMessageResultCode, {std::int16_t {0}}, code));
    EXPECT_EQ(code, 5);
    ASSERT_TRUE(m_driver.callInt(Send, {std::string("5551234")}, code));
    EXPECT_EQ(code, 0);
    ASSERT_TRUE(m_driver.callInt(GetMessageResultCode, {std::int16_t {2}}, code));
    EXPECT_EQ(code, 1);
    ASSERT_TRUE(m_driver.callInt(GetMessageResultCode, {std::int16_t {-1}}, code));
    EXPECT_EQ(code, 2);
    // A 32-bit argument that fits is accepted for a 16-bit parameter.
    ASSERT_TRUE(m_driver.callInt(GetMessageResultCode, {std::int32_t {3}}, code));
    EXPECT_EQ(code, 2);

    // Both ends of the 16-bit range arrive intact.
    ASSERT_TRUE(m_driver.callInt(Twice, {std::int16_t {-32768}}, code));
    EXPECT_EQ(code, -65536);
    ASSERT_TRUE(m_driver.callInt(Twice, {std::int16_t {32767}}, code));
    EXPECT_EQ(code, 65534);
}

struct BadCall
{
    const char* label;
    std::int32_t dispId;
    CallKind kind;
    std::vector<DispatchValue> args;
    DispatchStatus status;
    const char* errorPart;
};

// Names the case in test listings.
void PrintTo(const BadCall& c, std::ostream* out)
{
    *out << '"' << c.label << '"';
}

class DispatchClientBadCall : public DispatchClientTest, public testing::WithParamInterface<BadCall>
{ };

TEST_P(DispatchClientBadCall, FailsWithStatusAndTextAndLeavesTheControlUsable)
{
    const BadCall& c = GetParam();
    DispatchValue result = std::int32_t {99};
    EXPECT_EQ(m_driver.invoke(c.dispId, c.kind, c.args, result), c.status) << c.label;
    EXPECT_EQ(result, DispatchValue {}) << c.label;
    EXPECT_EQ(m_driver.lastError(), c.status);
    const std::string& text = m_driver.lastErrorText();
    EXPECT_NE(text.find(c.errorPart), std::string::npos) << c.label << ": " << text;
    EXPECT_NE(text.find(driver), std::string::npos) << c.label << ": " << text;

    std::int32_t count = -1;
    ASSERT_TRUE(m_driver.callInt(GetMessageCount, {}, count)) << m_driver.lastErrorText();
    EXPECT_EQ(count, 0);
    EXPECT_EQ(m_driver.lastErrorText(), "");
}

INSTANTIATE_TEST_SUITE_P(ClientCalls, DispatchClientBadCall,
                         testing::Values(BadCall {"unknown dispatch id",
                                                  4,
                                                  CallKind::Method,
                                                  {},
                                                  DispatchStatus::UnknownDispId,
                                                  "no member has dispatch id 4"},
                                         BadCall {"too few arguments",
                                                  AddMessage,
                                                  CallKind::Method,
                                                  {std::string("1")},
                                                  DispatchStatus::BadArgCount,
                                                  "takes 2 argument(s), got 1"},
                                         BadCall {"text for 16 bits",
                                                  GetMessageResultCode,
                                                  CallKind::Method,
                                                  {std::string("0")},
                                                  DispatchStatus::BadArgType,
                                                  "must be 16-bit integer, got text"},
                                         BadCall {"number for text",
                                                  Send,
                                                  CallKind::Method,
                                                  {std::int32_t {5}},
                                                  DispatchStatus::BadArgType,
                                                  "must be text"},
                                         BadCall {"16-bit overflow",
                                                  Twice,
                                                  CallKind::Method,
                                                  {std::int32_t {40000}},
                                                  DispatchStatus::OutOfRange,
                                                  "40000 does not fit a 16-bit integer"},
                                         BadCall {"16-bit underflow",
                                                  Twice,
                                                  CallKind::Method,
                                                  {std::int32_t {-40000}},
                                                  DispatchStatus::OutOfRange,
                                                  "-40000"},
                                         BadCall {"put on a read-only property",
                                                  SiteSummary,
                                                  CallKind::PropertyPut,
                                                  {std::string("x")},
                                                  DispatchStatus::WrongCallKind,
                                                  "siteSummary"},
                                         BadCall {"standard exception",
                                                  ThrowStd,
                                                  CallKind::Method,
                                                  {},
                                                  DispatchStatus::Failed,
                                                  "threw an exception: disk on fire"},
                                         BadCall {"other exception",
                                                  ThrowOther,
                                                  CallKind::Method,
                                                  {},
                                                  DispatchStatus::Failed,
                                                  "exception of unknown type"}),
                         [](const testing::TestParamInfo<BadCall>& param) {
                             return std::to_string(param.index);
                         });

TEST_F(DispatchClientTest, ConvenienceCallsRefuseAResultOfAnotherType)
{
    std::int32_t number = 0;
    EXPECT_FALSE(m_driver.getInt(ProviderName, number));
    EXPECT_EQ(m_driver.lastError(), DispatchStatus::BadResultType);
    EXPECT_NE(m_driver.lastErrorText().find("returned text where 32-bit integer was expected"),
              std::string::npos)
        << m_driver.lastErrorText();
    std::string text;
    EXPECT_FALSE(m_driver.callText(GetMessageCount, {}, text));
    EXPECT_EQ(m_driver.lastError(), DispatchStatus::BadResultType);
}

TEST_F(DispatchClientTest, SixteenBitPropertyThroughIntegerCalls)
{
    DispatchClient echoControl = m_loader.createFromFile(PluginFiles::testPlugin, echo);
    ASSERT_TRUE(echoControl.isValid()) << m_loader.lastErrorText();
    ASSERT_TRUE(echoControl.setInt(Small, -300));
    std::int32_t value = 0;
    ASSERT_TRUE(echoControl.getInt(Small, value));
    EXPECT_EQ(value, -300);
    EXPECT_FALSE(echoControl.setInt(Small, 70000));
    EXPECT_EQ(echoControl.lastError(), DispatchStatus::OutOfRange);
    ASSERT_TRUE(echoControl.getInt(Small, value));
    EXPECT_EQ(value, -300);
}

TEST_F(DispatchClientTest, InstancesKeepTheirOwnState)
{
    DispatchClient other = m_loader.createFromFile(PluginFiles::testPlugin, driver);
    ASSERT_TRUE(other.isValid());
    ASSERT_TRUE(m_driver.setInt(DebugLevel, 5));
    ASSERT_TRUE(other.setInt(DebugLevel, 9));
    std::int32_t level = 0;
    ASSERT_TRUE(m_driver.getInt(DebugLevel, level));
    EXPECT_EQ(level, 5);
}

TEST_F(DispatchClientTest, HostSiteReachesTheControl)
{
    std::string summary;
    ASSERT_TRUE(m_driver.getText(SiteSummary, summary));
    EXPECT_EQ(summary, "progress=0 parent=0");
    std::int32_t cancelled = -1;
    ASSERT_TRUE(m_driver.callInt(PollCancel, {}, cancelled));
    EXPECT_EQ(cancelled, 0);

    int window = 0;
    std::atomic<int> polls {0};
    std::atomic<bool> cancel {false};
    ControlOptions options;
    options.showProgress = true;
    options.parentWindow = &window;
    options.isCancelled = [&] {
        ++polls;
        return cancel.load();
    };
    DispatchClient visible = m_loader.createFromFile(PluginFiles::testPlugin, driver, options);
    ASSERT_TRUE(visible.isValid()) << m_loader.lastErrorText();
    ASSERT_TRUE(visible.getText(SiteSummary, summary));
    EXPECT_EQ(summary, "progress=1 parent=1");
    ASSERT_TRUE(visible.callInt(PollCancel, {}, cancelled));
    EXPECT_EQ(cancelled, 0);
    cancel = true;
    ASSERT_TRUE(visible.callInt(PollCancel, {}, cancelled));
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(polls.load(), 2);
}

TEST_F(DispatchClientTest, CancelCheckThatThrowsCountsAsNotCancelled)
{
    ControlOptions options;
    options.isCancelled = []() -> bool { throw std::runtime_error("host bug"); };
    DispatchClient client = m_loader.createFromFile(PluginFiles::testPlugin, driver, options);
    ASSERT_TRUE(client.isValid());
    std::int32_t cancelled = -1;
    ASSERT_TRUE(client.callInt(PollCancel, {}, cancelled));
    EXPECT_EQ(cancelled, 0);
}

TEST_F(DispatchClientTest, MovedClientOwnsTheControlOnce)
{
    DispatchClient moved = std::move(m_driver);
    EXPECT_FALSE(m_driver.isValid());
    ASSERT_TRUE(moved.isValid());
    ASSERT_TRUE(moved.setInt(DebugLevel, 3));

    // The empty handle fails every call with a reason instead of crashing.
    std::int32_t level = 0;
    EXPECT_FALSE(m_driver.getInt(DebugLevel, level));
    EXPECT_EQ(m_driver.lastError(), DispatchStatus::Failed);
    EXPECT_NE(m_driver.lastErrorText().find("no control"), std::string::npos);

    DispatchClient assigned = m_loader.createFromFile(PluginFiles::testPlugin, echo);
    assigned = std::move(moved);
    ASSERT_TRUE(assigned.getInt(DebugLevel, level));
    EXPECT_EQ(level, 3);
}

} // namespace
