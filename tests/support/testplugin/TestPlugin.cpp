// A small plug-in for the tests of the plug-in layer: a driver-shaped control, an echo
// control and a class that fails to construct, exported through the ordinary entry points.
#include "TestClassIds.h"
#include "plugin/MemberTable.h"
#include "plugin/PluginModule.h"

#include <cstdlib>
#include <stdexcept>
#include <vector>

using namespace TestClassIds;

namespace {

class TestDriver : public DispatchControl
{
public:
    explicit TestDriver(const HostSite& site)
        : m_site(site)
    { }

    DispatchStatus invoke(std::int32_t dispId, CallKind kind, std::span<const DispatchValue> args,
                          DispatchValue& result, std::string& error) override
    {
        static const MemberTable<TestDriver> table {
            MemberTable<TestDriver>::getter(DebugLevel, "debugLevel", &TestDriver::debugLevel),
            MemberTable<TestDriver>::setter(DebugLevel, "debugLevel", &TestDriver::setDebugLevel),
            MemberTable<TestDriver>::getter(ProviderName, "providerName",
                                            &TestDriver::providerName),
            MemberTable<TestDriver>::setter(ProviderName, "providerName",
                                            &TestDriver::setProviderName),
            MemberTable<TestDriver>::method(Send, "send", &TestDriver::send),
            MemberTable<TestDriver>::method(AddMessage, "addMessage", &TestDriver::addMessage),
            MemberTable<TestDriver>::method(Clear, "clear", &TestDriver::clear),
            MemberTable<TestDriver>::method(GetMessageCount, "getMessageCount",
                                            &TestDriver::getMessageCount),
            MemberTable<TestDriver>::method(GetMessageResultCode, "getMessageResultCode",
                                            &TestDriver::getMessageResultCode),
            MemberTable<TestDriver>::method(Twice, "twice", &TestDriver::twice),
            MemberTable<TestDriver>::method(DescribeMessage, "describeMessage",
                                            &TestDriver::describeMessage),
            MemberTable<TestDriver>::method(ThrowStd, "throwStd", &TestDriver::throwStd),
            MemberTable<TestDriver>::method(ThrowOther, "throwOther", &TestDriver::throwOther),
            MemberTable<TestDriver>::getter(SiteSummary, "siteSummary", &TestDriver::siteSummary),
            MemberTable<TestDriver>::method(PollCancel, "pollCancel", &TestDriver::pollCancel),
        };
        return table.dispatch(*this, dispId, kind, args, result, error);
    }

private:
    struct Message
    {
        std::int32_t pin;
        std::int32_t result;
        std::string text;
    };

    std::int32_t debugLevel() const { return m_debugLevel; }
    void setDebugLevel(std::int32_t level) { m_debugLevel = level; }
    std::string providerName() const { return m_providerName; }
    void setProviderName(std::string_view name) { m_providerName = name; }

    std::int32_t send(std::string_view address)
    {
        if (address.empty()) {
            return 216;
        }
        for (Message& message : m_messages) {
            message.result = 1;
        }
        return 0;
    }

    std::int32_t addMessage(const std::string& recipient, const std::string& text)
    {
        if (m_messages.size() >= maxMessages) {
            return 207;
        }
        m_messages.push_back({std::atoi(recipient.c_str()), 5, text});
        return 0;
    }

    void clear() { m_messages.clear(); }
    std::int32_t getMessageCount() const { return static_cast<std::int32_t>(m_messages.size()); }

    std::int32_t getMessageResultCode(std::int16_t index) const
    {
        if (index < 0 || index >= getMessageCount()) {
            return 2;
        }
        return m_messages[static_cast<std::size_t>(index)].result;
    }

    std::int32_t twice(std::int16_t value) const { return 2 * value; }

    std::string describeMessage(std::int16_t index) const
    {
        if (index < 0 || index >= getMessageCount()) {
            return "none";
        }
        const Message& message = m_messages[static_cast<std::size_t>(index)];
        return std::to_string(message.pin) + ":" + message.text;
    }

    void throwStd() { throw std::runtime_error("disk on fire"); }
    void throwOther() { throw 42; }

    std::string siteSummary() const
    {
        return std::string("progress=") + (m_site.showProgress() ? "1" : "0")
            + " parent=" + (m_site.parentWindow() != nullptr ? "1" : "0");
    }

    std::int32_t pollCancel() const { return m_site.isCancelled() ? 1 : 0; }

    HostSite m_site;
    std::int32_t m_debugLevel = 0;
    std::string m_providerName;
    std::vector<Message> m_messages;
};

class TestEcho : public DispatchControl
{
public:
    DispatchStatus invoke(std::int32_t dispId, CallKind kind, std::span<const DispatchValue> args,
                          DispatchValue& result, std::string& error) override
    {
        static const MemberTable<TestEcho> table {
            MemberTable<TestEcho>::method(Concat, "concat", &TestEcho::concat),
            MemberTable<TestEcho>::getter(Small, "small", &TestEcho::small),
            MemberTable<TestEcho>::setter(Small, "small", &TestEcho::setSmall),
        };
        return table.dispatch(*this, dispId, kind, args, result, error);
    }

private:
    std::string concat(std::string_view a, std::string_view b) const
    {
        return std::string(a) + std::string(b);
    }
    std::int16_t small() const { return m_small; }
    void setSmall(std::int16_t value) { m_small = value; }

    std::int16_t m_small = 0;
};

std::unique_ptr<DispatchControl> makeDriver(const HostSite& site)
{
    return std::make_unique<TestDriver>(site);
}

std::unique_ptr<DispatchControl> makeEcho(const HostSite&)
{
    return std::make_unique<TestEcho>();
}

std::unique_ptr<DispatchControl> makeBroken(const HostSite&)
{
    throw std::runtime_error("the test class always fails to construct");
}

PluginModule& testModule()
{
    static PluginModule module({
        {driver, driverProgId, driverTypeName, &makeDriver},
        {echo, echoProgId, echoTypeName, &makeEcho},
        {broken, brokenProgId, "Norvane Broken Test Class", &makeBroken},
    });
    return module;
}

} // namespace

NV_PLUGIN_ENTRY_POINTS(testModule)
