#pragma once

#include "frame/SendReporter.h"
#include "log/LogFile.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

// The send frame's side as the SNPP tests need it: records every phase, status and progress
// the engine reports, keeps the overall code (213 stays once set), carries a cancel request
// the test raises, and writes the plug-in's log lines into a file the test reads back.
class RecordingReporter : public SendReporter
{
public:
    // A reporter logging everything (up to level 12) into `logPath`; the settings store
    // must already be the test's own.
    explicit RecordingReporter(const std::string& logPath);
    ~RecordingReporter() override;

    void setPhase(int phase) override;
    void setStatus(std::string text) override;
    void setProgress(int value) override;
    int lastError() const override { return m_lastError.load(); }
    void setLastError(int code) override;
    bool cancelRequested() const override { return m_cancel.load(); }
    LogFile& log() override { return m_log; }
    std::string_view tag() const override { return "plover"; }

    // Raises the cancel request, as the progress view's Cancel button does.
    void cancel() { m_cancel = true; }
    // The phases reported, in order, repeats dropped.
    std::vector<int> phases() const;
    // The status texts reported, in order.
    std::vector<std::string> statuses() const;
    // The progress values reported, in order.
    std::vector<int> progress() const;
    // The whole log file as written so far.
    std::string logText() const;

private:
    mutable std::mutex m_mutex;
    std::vector<int> m_phases;
    std::vector<std::string> m_statuses;
    std::vector<int> m_progress;
    std::atomic<int> m_lastError {0};
    std::atomic<bool> m_cancel {false};
    LogFile m_log {LogFile::Mode::PlugIn};
    std::string m_logPath;
};
