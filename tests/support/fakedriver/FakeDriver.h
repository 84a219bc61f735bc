#pragma once

#include "plugin/DispatchControl.h"
#include "plugin/HostSite.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// A paging driver control without a protocol, for the tests of the host: it answers the
// driver's members by the dispatch numbers of the layout it was created as, takes its send
// codes and per-message codes from the script key in the settings store (read at creation and
// again at each send), and
// writes every call it gets, and every transmission with what it was given, to the record
// file that key names.
class FakeDriver final : public DispatchControl
{
public:
    // The script key's values (see FakeDriverIds::Script), with their defaults.
    struct Script
    {
        std::string recordFile;
        std::int32_t sendCode = 0;
        std::map<std::string, std::int32_t> sendCodes;
        std::map<std::string, std::int32_t> messageCodes;
        std::int32_t sendDelayMs = 0;
        std::int32_t deafToCancel = 0;
        std::int32_t holdBack = 0;
        std::int32_t capacity = 20;
        std::int32_t failCreate = 0;
    };

    // Which driver's dispatch numbers the fake answers by; its own class uses kestrel's.
    enum class Layout { Own, Kestrel, Plover };

    // A fake for the host's site; throws when the script asks creation to fail.
    FakeDriver(Layout layout, const HostSite& site);
    // Records the end of the instance.
    ~FakeDriver() override;

    DispatchStatus invoke(std::int32_t dispId, CallKind kind, std::span<const DispatchValue> args,
                          DispatchValue& result, std::string& error) override;

private:
    struct Message
    {
        std::string recipient; // as given
        std::int32_t pin = 0; // as a driver reads it
        std::int32_t result = 5;
        std::string text;
    };

    std::int32_t debugLevel() const { return m_debugLevel; }
    void setDebugLevel(std::int32_t level) { m_debugLevel = level; }
    std::string providerName() const { return m_providerName; }
    void setProviderName(std::string_view name) { m_providerName = name; }
    std::string clientName() const { return m_clientName; }
    void setClientName(std::string_view name) { m_clientName = name; }
    std::string logFileName() const { return m_logFileName; }
    void setLogFileName(std::string_view name) { m_logFileName = name; }
    std::int32_t send(std::string_view address);
    std::int32_t addMessage(std::string_view recipient, std::string_view text);
    void clear() { m_messages.clear(); }
    void showProperties() { }
    std::int32_t getMessageCount() const;
    std::int32_t getMessageResultCode(std::int16_t index) const;
    void aboutBox() { }

    std::string_view layoutName() const;
    void record(const std::vector<std::string>& fields) const;

    Layout m_layout;
    Script m_script; // as read at creation, then at the last send
    HostSite m_site;
    int m_instance;
    std::string m_recordFile;
    std::int32_t m_debugLevel = 0;
    std::string m_providerName;
    std::string m_clientName;
    std::string m_logFileName;
    std::vector<Message> m_messages;
};
