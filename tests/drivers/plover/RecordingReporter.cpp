#include "RecordingReporter.h"

#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <fstream>
#include <sstream>

RecordingReporter::RecordingReporter(const std::string& logPath)
    : m_logPath(logPath)
{
    SettingsKey key(RootKey::CurrentUser, SharedSettings::Log::key);
    (void)key.write(SharedSettings::Log::logLevel, 12);
    m_log.loadSettings();
    m_log.setPath(logPath);
    m_log.openForAppend();
}

RecordingReporter::~RecordingReporter()
{
    m_log.close();
}

void RecordingReporter::setPhase(int phase)
{
    const std::lock_guard lock(m_mutex);
    if (m_phases.empty() || m_phases.back() != phase) {
        m_phases.push_back(phase);
    }
}

void RecordingReporter::setStatus(std::string text)
{
    const std::lock_guard lock(m_mutex);
    m_statuses.push_back(std::move(text));
}

void RecordingReporter::setProgress(int value)
{
    const std::lock_guard lock(m_mutex);
    m_progress.push_back(value);
}

void RecordingReporter::setLastError(int code)
{
    int current = m_lastError.load();
    while (current != 213 && !m_lastError.compare_exchange_weak(current, code)) { }
}

std::vector<int> RecordingReporter::phases() const
{
    const std::lock_guard lock(m_mutex);
    return m_phases;
}

std::vector<std::string> RecordingReporter::statuses() const
{
    const std::lock_guard lock(m_mutex);
    return m_statuses;
}

std::vector<int> RecordingReporter::progress() const
{
    const std::lock_guard lock(m_mutex);
    return m_progress;
}

std::string RecordingReporter::logText() const
{
    std::ifstream file(m_logPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
