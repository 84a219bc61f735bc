#pragma once

#include "frame/MessageList.h"
#include "frame/SendReporter.h"
#include "log/LogFile.h"

#include <string>
#include <string_view>

// The send frame's side of an engine under fuzzing: keeps the overall code and the bounds of
// what the engine reported, and a plug-in log that is never opened, so lines are dropped.
class FuzzReporter final : public SendReporter
{
public:
    void setPhase(int phase) override;
    void setStatus(std::string text) override;
    void setProgress(int value) override;
    int lastError() const override { return m_lastError; }
    void setLastError(int code) override { m_lastError = code; }
    bool cancelRequested() const override { return false; }
    LogFile& log() override { return m_log; }
    std::string_view tag() const override { return "fuzz"; }

    // The phases reported were all 0 to 4, the progress never negative nor above `limit`,
    // and the status lines bounded.
    bool reportsBounded(int progressLimit) const;

private:
    LogFile m_log {LogFile::Mode::PlugIn};
    int m_lastError = 0;
    bool m_badPhase = false;
    int m_lowestProgress = 0;
    int m_highestProgress = 0;
    std::size_t m_longestStatus = 0;
};

// Adds `count` (1 to 4) messages for fixed pager ids, their texts the lines of `texts` (the
// last ones empty when it has fewer lines); false when the list refuses one.
bool addFuzzMessages(MessageList& messages, int count, std::string_view texts);
