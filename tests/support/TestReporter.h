#pragma once

#include "PrivateLog.h"
#include "frame/SendReporter.h"
#include "log/LogFile.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

// A send frame stand-in for the engines' tests: records every phase, status and progress
// value, keeps the last error as the frame does (nothing replaces 213 once the user has
// cancelled), and logs under the driver's tag to a file in a private settings store.
class TestReporter : public SendReporter
{
public:
    // A private settings store whose log file lies in its folder, written at `level`.
    explicit TestReporter(int level = 12, std::string tag = "kestrel");
    ~TestReporter() override;

    void setPhase(int phase) override;
    void setStatus(std::string text) override;
    void setProgress(int value) override;
    int lastError() const override;
    void setLastError(int code) override;
    bool cancelRequested() const override { return m_cancelled.load(); }
    LogFile& log() override { return m_log; }
    std::string_view tag() const override { return m_tag; }

    // What the user's Cancel does to the frame's state: 213, and the cancel flag.
    void cancel();
    // The cancel flag alone, as the progress view's Cancel button raises it.
    void requestCancel() { m_cancelled = true; }

    std::vector<int> phases() const;
    std::vector<std::string> statuses() const;
    std::vector<int> progress() const;
    // Every line of the log file so far.
    std::vector<LogEntry> logEntries() const;
    // The messages of the log lines of one level, in order.
    std::vector<std::string> logMessages(int level) const;
    // The whole log file as written so far.
    std::string logText() const { return m_store.content(); }

private:
    PrivateLog m_store;
    std::string m_tag;
    LogFile m_log {LogFile::Mode::PlugIn};
    mutable std::mutex m_mutex;
    std::vector<int> m_phases;
    std::vector<std::string> m_statuses;
    std::vector<int> m_progress;
    int m_lastError = 0;
    std::atomic<bool> m_cancelled {false};
};
