#pragma once

#include "frame/SendReporter.h"
#include "log/LogFile.h"

#include <string>
#include <string_view>

// The frame's side as a headless send has it, for benchmarks of a driver's engine: progress
// goes nowhere, lines go to the log under the driver's tag.
class BenchReporter : public SendReporter
{
public:
    // A reporter writing to `log` as `tag`; both must outlive it.
    BenchReporter(LogFile& log, std::string_view tag)
        : m_log(log)
        , m_tag(tag)
    { }
    void setPhase(int) override { }
    void setStatus(std::string) override { }
    void setProgress(int) override { }
    int lastError() const override { return m_lastError; }
    void setLastError(int code) override { m_lastError = code; }
    bool cancelRequested() const override { return false; }
    LogFile& log() override { return m_log; }
    std::string_view tag() const override { return m_tag; }

private:
    LogFile& m_log;
    std::string_view m_tag;
    int m_lastError = 0;
};
