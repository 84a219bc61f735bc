#pragma once

#include "frame/ProgressView.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

class LogFile;

// The progress view of a send without a window (the command-line program, the scheduler
// and gateway without a GUI, or a host that did not ask to see progress): the same send,
// with the status, phase and progress written to the log, and the host's cancel request,
// asked at a fixed interval, standing for the Cancel button.
class HeadlessProgressView final : public ProgressView
{
public:
    // A view logging to `log` with `tag`; `isCancelled` may be null (never cancelled).
    HeadlessProgressView(LogFile& log, std::string tag, std::function<bool()> isCancelled,
                         int progressMaximum,
                         std::chrono::milliseconds pollInterval = std::chrono::milliseconds(50));

    int run(ProgressViewEvents& events) override;
    void end(int result) override;
    void setPhase(int phase) override;
    void setStatus(const std::string& text) override;
    void setProgress(int value) override;
    void setCancelEnabled(bool enabled) override;
    void setRightAnimation(RightAnimation animation) override;
    bool isVisible() const override { return false; }

private:
    LogFile& m_log;
    const std::string m_tag;
    const std::function<bool()> m_isCancelled;
    const int m_progressMaximum;
    const std::chrono::milliseconds m_pollInterval;

    std::mutex m_mutex;
    std::condition_variable m_endChanged;
    bool m_ended = false;
    int m_result = 0;
    bool m_cancelEnabled = true;
};
