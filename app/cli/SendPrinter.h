#pragma once

#include "cli/LogRelay.h"
#include "sending/SendPresenter.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

class SendResults;

// How norvane-cli shows a send: the pipeline's messages and the result rows, as text (one
// tab-separated row per recipient, then a summary) or as one JSON object; with progress, each
// transmission's start and end and the drivers' log lines go to stderr while it runs.
class SendPrinter final : public SendPresenter
{
public:
    // Output formats.
    enum class Format { Text, Json };

    // A printer writing results to `out` and messages and progress to `err`; `logPath` is
    // the log file the drivers write (followed only with `progress`).
    SendPrinter(Format format, bool progress, std::string logPath, std::ostream& out,
                std::ostream& err);

    void showMessage(int messageId, std::string_view helpKey, std::string_view origin) override;
    void showResults(const SendResults& results) override;
    void transmissionStarted(const Transmission& transmission) override;
    void transmissionEnded(const Transmission& transmission, std::int32_t returnCode) override;

    // Ends the output after the send: rows the pipeline did not show (a send without any
    // address shows only its message), then the summary or the JSON object.
    void finish(const SendResults& results, std::int32_t sent, std::int32_t failed,
                std::int32_t total);

    // The text as a JSON string literal, quotes included.
    static std::string jsonString(std::string_view text);

private:
    void printRows(const SendResults& results);

    Format m_format;
    bool m_progress;
    std::string m_logPath;
    std::ostream& m_out;
    std::ostream& m_err;
    std::unique_ptr<LogRelay> m_relay;
    bool m_rowsShown = false;
    int m_messageId = 0;
};
