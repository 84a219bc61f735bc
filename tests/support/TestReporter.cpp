#include "TestReporter.h"

TestReporter::TestReporter(int level, std::string tag)
    : m_store(level)
    , m_tag(std::move(tag))
{
    m_log.loadSettings();
    m_log.openForAppend();
}

TestReporter::~TestReporter()
{
    m_log.close();
}

void TestReporter::setPhase(int phase)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_phases.push_back(phase);
}

void TestReporter::setStatus(std::string text)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_statuses.push_back(std::move(text));
}

void TestReporter::setProgress(int value)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_progress.push_back(value);
}

int TestReporter::lastError() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_lastError;
}

void TestReporter::setLastError(int code)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    if (m_lastError != 213) {
        m_lastError = code;
    }
}

void TestReporter::cancel()
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_lastError = 213;
    m_cancelled = true;
}

std::vector<int> TestReporter::phases() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_phases;
}

std::vector<std::string> TestReporter::statuses() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_statuses;
}

std::vector<int> TestReporter::progress() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_progress;
}

std::vector<LogEntry> TestReporter::logEntries() const
{
    return m_store.entries();
}

std::vector<std::string> TestReporter::logMessages(int level) const
{
    std::vector<std::string> messages;
    for (const LogEntry& entry : logEntries()) {
        if (entry.level == level) {
            messages.push_back(entry.message);
        }
    }
    return messages;
}
