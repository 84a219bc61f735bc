#pragma once

#include "PrivateLog.h"
#include "log/LogFile.h"
#include "settings/SettingsKey.h"
#include "telephony/ByteLink.h"
#include "telephony/CallEvent.h"
#include "telephony/LineSettings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

// One value of a line device's settings key.
struct LineValue
{
    std::string name;
    std::variant<std::string, std::int32_t> value;
};

// Writes the line device's key Lines\<key> with the values.
inline void writeLine(const std::string& key, const std::vector<LineValue>& values)
{
    SettingsKey settings(RootKey::CurrentUser, std::string(LineSettings::linesKey) + "\\" + key);
    for (const LineValue& value : values) {
        if (const auto* text = std::get_if<std::string>(&value.value)) {
            ASSERT_TRUE(settings.setString(value.name, *text));
        } else {
            ASSERT_TRUE(settings.setNumber(value.name, std::get<std::int32_t>(value.value)));
        }
    }
}

// A modem line on the device with time-outs short enough for tests, plus extra values.
inline void writeModemLine(const std::string& key, const std::string& device,
                           std::vector<LineValue> extra = {})
{
    std::vector<LineValue> values {
        {"type", std::string("modem")}, {"device", device}, {"commandTimeout", 500},
        {"answerTimeout", 2000},        {"guardTime", 50},  {"dtrDropTime", 10}};
    values.insert(values.end(), extra.begin(), extra.end());
    writeLine(key, values);
}

// Sets the dialling location's local access code.
inline void writeAccessCode(const std::string& code)
{
    SettingsKey location(RootKey::CurrentUser, LineSettings::locationKey);
    ASSERT_TRUE(location.setString("localAccessCode", code));
}

// A private settings store and a log file for everything up to level 12, both in a
// temporary folder.
struct LineFixtureBase
{
    LineFixtureBase() { log.loadSettings(); }
    // The log's text so far.
    std::string logText() const { return registry.dir().read("ndlog.dat"); }

    PrivateLog privateLog;
    const ScopedRegistry& registry = privateLog.registry();
    LogFile log;
};

// Collects the call events a line reports, on whichever thread.
class RecordingObserver : public CallObserver
{
public:
    using Event = std::pair<CallEvent, int>;

    void callEvent(CallEvent event, int detail) override
    {
        std::lock_guard lock(m_mutex);
        m_events.emplace_back(event, detail);
        m_changed.notify_all();
    }

    // The first event, waiting up to `timeout` for it.
    std::optional<Event> waitForEvent(std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        std::unique_lock lock(m_mutex);
        if (!m_changed.wait_for(lock, timeout, [this] { return !m_events.empty(); })) {
            return std::nullopt;
        }
        return m_events.front();
    }

    // Every event so far.
    std::vector<Event> events() const
    {
        std::lock_guard lock(m_mutex);
        return m_events;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Event> m_events;
};
