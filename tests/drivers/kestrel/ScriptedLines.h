#pragma once

#include "kestrel/LineSource.h"
#include "telephony/ByteLink.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// What a scripted line device does when it is opened and dialled.
struct LinePlan
{
    bool opens = true; // false: no line can be opened on the device (7)
    bool accepted = true; // false: the call request is refused at once with `refusal`
    int refusal = 4;
    // Reported one after the other, from the line's own thread, after the dial.
    std::vector<std::pair<CallEvent, int>> events {{CallEvent::Connected, 0}};
    std::chrono::milliseconds eventDelay {5};
};

// What the scripted lines saw, shared by the source and its devices.
struct LineRecord
{
    std::mutex mutex;
    std::vector<std::uint32_t> opened;
    std::vector<std::string> dialled;
    int configures = 0;
    int restores = 0;
    int hangUps = 0;
    std::function<void()> onDial = [] {};
};

// A connection that records what is written and fails every read: at once after a hang-up,
// else when the time-out passes (or the hang-up comes first).
class ScriptedLink final : public ByteLink
{
public:
    bool write(const void* bytes, std::size_t length) override
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        if (m_hungUp) {
            m_lastError = 200;
            return false;
        }
        m_written.append(static_cast<const char*>(bytes), length);
        return true;
    }
    bool read(char* buffer, std::size_t& length, std::string_view, int timeoutMs) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const bool hungUp = m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                               [this] { return m_hungUp; });
        buffer[0] = '\0';
        length = 0;
        m_lastError = hungUp ? 202 : 203;
        return false;
    }
    int lastError() const override
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        return m_lastError;
    }
    void hangUp()
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_hungUp = true;
        m_changed.notify_all();
    }
    std::string written() const
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        return m_written;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_hungUp = false;
    int m_lastError = 0;
    std::string m_written;
};

// A line device that follows its plan: the call's events come from its own thread.
class ScriptedLine final : public LineDevice
{
public:
    ScriptedLine(LinePlan plan, LineRecord& record)
        : m_plan(std::move(plan))
        , m_record(record)
    { }
    ~ScriptedLine() override { hangUp(); }

    bool dial(const std::string& number, CallObserver& observer) override
    {
        std::function<void()> onDial;
        {
            const std::lock_guard<std::mutex> guard(m_record.mutex);
            m_record.dialled.push_back(number);
            onDial = m_record.onDial;
        }
        onDial();
        if (!m_plan.accepted) {
            m_lastError = m_plan.refusal;
            return false;
        }
        m_reporter = std::thread([this, &observer] { report(observer); });
        return true;
    }
    ByteLink* link() override { return m_connected ? &m_link : nullptr; }
    void configurePort() override
    {
        const std::lock_guard<std::mutex> guard(m_record.mutex);
        ++m_record.configures;
    }
    void restorePort() override
    {
        const std::lock_guard<std::mutex> guard(m_record.mutex);
        ++m_record.restores;
    }
    void hangUp() override
    {
        {
            const std::lock_guard<std::mutex> guard(m_mutex);
            if (m_hungUp) {
                return;
            }
            m_hungUp = true;
            m_changed.notify_all();
        }
        m_link.hangUp();
        {
            const std::lock_guard<std::mutex> guard(m_record.mutex);
            ++m_record.hangUps;
        }
        if (m_reporter.joinable() && m_reporter.get_id() != std::this_thread::get_id()) {
            m_reporter.join();
        }
    }
    int lastError() const override { return m_lastError; }

    const ScriptedLink& scriptedLink() const { return m_link; }

private:
    void report(CallObserver& observer)
    {
        for (const auto& [event, detail] : m_plan.events) {
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                if (m_changed.wait_for(lock, m_plan.eventDelay, [this] { return m_hungUp; })) {
                    return;
                }
                if (event == CallEvent::Connected) {
                    m_connected = true;
                }
            }
            observer.callEvent(event, detail);
        }
    }

    const LinePlan m_plan;
    LineRecord& m_record;
    ScriptedLink m_link;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_hungUp = false;
    std::atomic<bool> m_connected {false};
    std::atomic<int> m_lastError {0};
    std::thread m_reporter;
};

// Lines by device number, each following the plan given for its number (or the default).
class ScriptedLineSource final : public LineSource
{
public:
    ScriptedLineSource(std::map<std::uint32_t, LinePlan> plans, LinePlan fallback,
                       LineRecord& record)
        : m_plans(std::move(plans))
        , m_fallback(std::move(fallback))
        , m_record(record)
    { }

    std::unique_ptr<LineDevice> open(std::uint32_t device, LogFile&, std::string_view) override
    {
        const auto found = m_plans.find(device);
        const LinePlan& plan = found != m_plans.end() ? found->second : m_fallback;
        {
            const std::lock_guard<std::mutex> guard(m_record.mutex);
            m_record.opened.push_back(device);
        }
        if (!plan.opens) {
            m_lastError = 7;
            return nullptr;
        }
        m_lastError = 0;
        return std::make_unique<ScriptedLine>(plan, m_record);
    }
    std::string translate(const std::string& number) const override { return "9 " + number; }
    int lastError() const override { return m_lastError; }

private:
    const std::map<std::uint32_t, LinePlan> m_plans;
    const LinePlan m_fallback;
    LineRecord& m_record;
    int m_lastError = 0;
};
