#pragma once

#include "frame/MessageList.h"
#include "frame/SendReporter.h"
#include "frame/StepEngine.h"
#include "kestrel/TapEngine.h"
#include "telephony/ByteLink.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

// What the scripted engines of a test saw.
struct TapRecord
{
    std::mutex mutex;
    std::vector<TapSettings> settings;
    std::vector<std::pair<std::int32_t, std::string>> sent; // pager identifier, text
    int engines = 0;
};

// A stand-in for the IXO/TAP engine with the same outward shape: it logs in (phase 2, one
// write), optionally waits for an answer that never comes, settles every message as sent
// (phase 3, progress 2k+2) and disconnects (phase 4).
class ScriptedTap final : public StepEngine
{
public:
    ScriptedTap(ByteLink& link, MessageList& messages, SendReporter& reporter,
                const TapSettings& settings, TapRecord& record, bool waitForAnswer)
        : m_link(link)
        , m_messages(messages)
        , m_reporter(reporter)
        , m_record(record)
        , m_waitForAnswer(waitForAnswer)
    {
        const std::lock_guard<std::mutex> guard(m_record.mutex);
        m_record.settings.push_back(settings);
        ++m_record.engines;
    }

    void start() override { m_step = 0; }
    void requestStop() override { m_stop = true; }
    bool step() override
    {
        if (m_step < 0) {
            return false;
        }
        if (m_stop.load()) {
            disconnect();
            return true;
        }
        if (m_step == 0) {
            m_reporter.setPhase(2);
            m_reporter.setStatus("Logging...");
            if (!m_link.write("LOGIN", 5)) {
                disconnect();
                return true;
            }
            if (m_waitForAnswer) {
                char buffer[128];
                std::size_t length = sizeof buffer;
                if (!m_link.read(buffer, length, "\x06", 60000)) {
                    disconnect();
                    return true;
                }
            }
            ++m_step;
            return true;
        }
        const int index = m_step - 1;
        if (index < m_messages.count()) {
            m_reporter.setPhase(3);
            {
                const std::lock_guard<std::mutex> guard(m_record.mutex);
                m_record.sent.emplace_back(m_messages.at(index).pagerId, m_messages.at(index).text);
            }
            m_messages.setResult(index, MessageResult::Sent);
            m_reporter.setProgress(2 * index + 2);
            ++m_step;
            return true;
        }
        m_reporter.setLastError(0);
        disconnect();
        return true;
    }

private:
    void disconnect()
    {
        m_reporter.setPhase(4);
        m_reporter.setStatus("Disconnecting");
        (void)m_link.write("\x04\r", 2);
        m_step = -1;
    }

    ByteLink& m_link;
    MessageList& m_messages;
    SendReporter& m_reporter;
    TapRecord& m_record;
    const bool m_waitForAnswer;
    std::atomic<bool> m_stop {false};
    int m_step = 0;
};
