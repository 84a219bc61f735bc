#include "FakeDriverIds.h"
#include "FakeDriverRecord.h"
#include "FakeDriverScript.h"
#include "ScopedRegistry.h"
#include "plugin/ControlLoader.h"
#include "sending/CKestrel.h"
#include "sending/CPlover.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct WrapperCase
{
    std::string name;
    std::string_view classId;
    std::string layout;
    std::function<std::unique_ptr<PagingDriver>()> make;
    // Expected dispatch numbers, in the operations' slot order.
    std::vector<int> ids;
};

class DriverWrapper : public testing::TestWithParam<WrapperCase>
{
protected:
    DriverWrapper()
        : script(registry.dir().file("record.txt"))
    { }

    ScopedRegistry registry;
    FakeDriverScript script;
};

// Each operation goes out as one call with its driver's own dispatch number and call kind.
TEST_P(DriverWrapper, CallsEachOperationByItsDriversDispatchNumber)
{
    const WrapperCase& c = GetParam();
    ASSERT_TRUE(FakeDriverScript::registerAs(c.classId));
    std::unique_ptr<PagingDriver> driver = c.make();
    ControlLoader loader;
    ASSERT_TRUE(driver->create(loader, {})) << driver->lastErrorText();

    driver->setDebugLevel(7);
    EXPECT_EQ(driver->getDebugLevel(), 7);
    driver->setProviderName("Acme");
    EXPECT_EQ(driver->getProviderName(), "Acme");
    driver->setClientName("desk");
    EXPECT_EQ(driver->getClientName(), "desk");
    driver->clear();
    EXPECT_EQ(driver->addMessage("42", "hello"), 0);
    EXPECT_EQ(driver->send("555-1234"), 0);
    EXPECT_EQ(driver->getMessageCount(), 1);
    EXPECT_EQ(driver->getMessageResultCode(0), 1);
    driver->showProperties();
    driver->AboutBox();
    EXPECT_TRUE(driver->lastErrorText().empty()) << driver->lastErrorText();
    driver->destroy();

    const FakeDriverRecord record(registry.dir().file("record.txt"));
    std::vector<std::string> seen;
    for (const FakeCall& call : record.calls()) {
        EXPECT_EQ(call.layout, c.layout);
        seen.push_back(call.member + " " + call.kind + " " + std::to_string(call.dispId));
    }
    const std::vector<int>& id = c.ids;
    const std::vector<std::string> expected {
        "debugLevel put " + std::to_string(id[0]),
        "debugLevel get " + std::to_string(id[0]),
        "providerName put " + std::to_string(id[1]),
        "providerName get " + std::to_string(id[1]),
        "clientName put " + std::to_string(id[2]),
        "clientName get " + std::to_string(id[2]),
        "clear method " + std::to_string(id[5]),
        "addMessage method " + std::to_string(id[4]),
        "send method " + std::to_string(id[3]),
        "getMessageCount method " + std::to_string(id[7]),
        "getMessageResultCode method " + std::to_string(id[8]),
        "showProperties method " + std::to_string(id[6]),
        "AboutBox method " + std::to_string(id[9]),
    };
    EXPECT_EQ(seen, expected);
    ASSERT_EQ(record.created(c.layout).size(), 1U);
    EXPECT_EQ(record.destroyed().count(record.created(c.layout).front()), 1U);
}

// Order of ids: debugLevel, providerName, clientName, send, addMessage, clear, showProperties,
// getMessageCount, getMessageResultCode, AboutBox.
INSTANTIATE_TEST_SUITE_P(Drivers, DriverWrapper,
                         testing::Values(WrapperCase {"CKestrel",
                                                      FakeDriverIds::kestrelClass,
                                                      "kestrel",
                                                      [] { return std::make_unique<CKestrel>(); },
                                                      {1, 2, 3, 5, 6, 7, 8, 9, 10, -552}},
                                         WrapperCase {"CPlover",
                                                      FakeDriverIds::ploverClass,
                                                      "plover",
                                                      [] { return std::make_unique<CPlover>(); },
                                                      {3, 2, 1, 5, 4, 6, 9, 7, 8, -552}}),
                         [](const testing::TestParamInfo<WrapperCase>& param) {
                             return param.param.name;
                         });

TEST(DriverWrapperIds, TheSameOperationReachesDifferentNumbers)
{
    EXPECT_EQ(CKestrel::dispatch.addMessage, 6);
    EXPECT_EQ(CPlover::dispatch.addMessage, 4);
    EXPECT_EQ(CKestrel::dispatch.getMessageResultCode, 10);
    EXPECT_EQ(CPlover::dispatch.getMessageResultCode, 8);
    EXPECT_EQ(CKestrel::controlClassId, FakeDriverIds::kestrelClass);
    EXPECT_EQ(CPlover::controlClassId, FakeDriverIds::ploverClass);
}

TEST(DriverWrapperLife, ResultCodeIndexOutsideTheListAndAfterClearIsTwo)
{
    ScopedRegistry registry;
    FakeDriverScript script(registry.dir().file("record.txt"));
    ASSERT_TRUE(FakeDriverScript::registerAs(FakeDriverIds::ploverClass));
    CPlover driver;
    ControlLoader loader;
    ASSERT_TRUE(driver.create(loader, {}));
    EXPECT_EQ(driver.addMessage("7", "a"), 0);
    EXPECT_EQ(driver.getMessageResultCode(0), 5);
    EXPECT_EQ(driver.getMessageResultCode(-1), 2);
    EXPECT_EQ(driver.getMessageResultCode(1), 2);
    driver.clear();
    EXPECT_EQ(driver.getMessageCount(), 0);
    EXPECT_EQ(driver.getMessageResultCode(0), 2);
    // The index reaches the control as the member's only argument.
    const FakeDriverRecord record(registry.dir().file("record.txt"));
    ASSERT_FALSE(record.calls().empty());
    EXPECT_EQ(record.calls().back().args, (std::vector<std::string> {"0"}));
}

TEST(DriverWrapperLife, WithoutAControlCallsDoNothingAndSayWhy)
{
    ScopedRegistry registry;
    CKestrel driver;
    ControlLoader loader;
    EXPECT_FALSE(driver.create(loader, {}));
    EXPECT_FALSE(driver.isCreated());
    EXPECT_NE(driver.lastErrorText().find("EDFD8418-26BA-11D2-AC37-000000000000"),
              std::string::npos)
        << driver.lastErrorText();

    driver.clearLastError();
    EXPECT_EQ(driver.send("555-1234"), PagingDriver::unavailableCode);
    EXPECT_FALSE(driver.lastErrorText().empty());
    EXPECT_EQ(driver.addMessage("1", "x"), PagingDriver::unavailableCode);
    EXPECT_EQ(driver.getMessageCount(), 0);
    EXPECT_EQ(driver.getMessageResultCode(0), PagingDriver::noSuchMessage);
    EXPECT_EQ(driver.getProviderName(), "");
    driver.clear();
    driver.destroy(); // also when the control was never created
}

TEST(DriverWrapperLife, HostWishesReachTheControl)
{
    ScopedRegistry registry;
    FakeDriverScript script(registry.dir().file("record.txt"));
    ASSERT_TRUE(FakeDriverScript::registerAs(FakeDriverIds::kestrelClass));
    int owner = 0;
    ControlOptions options;
    options.showProgress = true;
    options.parentWindow = &owner;
    {
        CKestrel shown;
        CKestrel headless;
        ControlLoader loader;
        ASSERT_TRUE(shown.create(loader, options));
        ASSERT_TRUE(headless.create(loader, {}));
    }
    const FakeDriverRecord record(registry.dir().file("record.txt"));
    const std::vector<int> created = record.created("kestrel");
    ASSERT_EQ(created.size(), 2U);
    EXPECT_EQ(record.createFlags(created[0]),
              (std::pair<std::string, std::string> {"progress", "parent"}));
    EXPECT_EQ(record.createFlags(created[1]),
              (std::pair<std::string, std::string> {"headless", "noparent"}));
    EXPECT_EQ(record.destroyed().size(), 2U);
}

} // namespace
