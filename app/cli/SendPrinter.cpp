#include "cli/SendPrinter.h"

#include "addressing/AddressType.h"
#include "cli/CliCommand.h"
#include "sending/SendResults.h"
#include "sending/Transmission.h"
#include "text/StringTable.h"

#include <cstdio>
#include <ostream>

namespace {

// A message or row text on one line: a message box's line breaks ("Error\rNo valid address
// specified") read as "Error: No valid address specified".
std::string flatten(std::string_view text)
{
    std::string line;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            line += ": ";
        } else {
            line += c;
        }
    }
    return line;
}

} // namespace

SendPrinter::SendPrinter(Format format, bool progress, std::string logPath, std::ostream& out,
                         std::ostream& err)
    : m_format(format)
    , m_progress(progress)
    , m_logPath(std::move(logPath))
    , m_out(out)
    , m_err(err)
{ }

std::string SendPrinter::jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                out += escaped;
            } else {
                // Other bytes pass as they are: texts are UTF-8.
                out += c;
            }
        }
    }
    return out + '"';
}

void SendPrinter::showMessage(int messageId, std::string_view, std::string_view)
{
    m_messageId = messageId;
    if (m_format == Format::Text) {
        // The pipeline's messages are the user's news, not results: stderr, like errors.
        m_err << programName << ": " << flatten(StringTable::text(messageId)) << '\n';
    }
}

void SendPrinter::showResults(const SendResults& results)
{
    m_rowsShown = true;
    if (m_format == Format::Text) {
        printRows(results);
    }
}

void SendPrinter::printRows(const SendResults& results)
{
    for (const ResultRow& row : results.rows()) {
        m_out << flatten(row.recipient) << '\t' << resultStatusName(row.status) << '\t'
              << flatten(row.text) << '\n';
    }
}

void SendPrinter::transmissionStarted(const Transmission& transmission)
{
    if (!m_progress) {
        return;
    }
    m_err << programName << ": sending " << transmission.messageCount
          << (transmission.messageCount == 1 ? " page" : " pages") << " to " << transmission.number;
    if (transmission.providerName != transmission.number) {
        m_err << " (" << transmission.providerName << ')';
    }
    m_err << " by " << addressTypeName(transmission.type);
    if (transmission.parts > 1) {
        m_err << ", part " << transmission.part << " of " << transmission.parts;
    }
    m_err << "...\n" << std::flush;
    m_relay = std::make_unique<LogRelay>(m_err, "  ");
    m_relay->start(m_logPath);
}

void SendPrinter::transmissionEnded(const Transmission& transmission, std::int32_t returnCode)
{
    if (!m_progress) {
        return;
    }
    m_relay.reset();
    m_err << programName << ": transmission to " << transmission.number << " ended (code "
          << returnCode << ")\n"
          << std::flush;
}

void SendPrinter::finish(const SendResults& results, std::int32_t sent, std::int32_t failed,
                         std::int32_t total)
{
    if (m_format == Format::Text) {
        if (!m_rowsShown) {
            printRows(results);
        }
        m_out << "Sent " << sent << " of " << total << (total == 1 ? " page" : " pages") << ", "
              << failed << " failed.\n";
        return;
    }
    m_out << "{\"sent\": " << sent << ", \"failed\": " << failed << ", \"total\": " << total;
    if (m_messageId != 0) {
        m_out << ", \"message\": " << jsonString(flatten(StringTable::text(m_messageId)));
    }
    m_out << ", \"results\": [";
    const char* separator = "";
    for (const ResultRow& row : results.rows()) {
        m_out << separator << "{\"recipient\": " << jsonString(row.recipient)
              << ", \"status\": " << jsonString(resultStatusName(row.status))
              << ", \"text\": " << jsonString(flatten(row.text))
              << ", \"helpCode\": " << row.helpCode << ", \"returnCode\": "
              << (row.returnCode ? std::to_string(*row.returnCode) : std::string("null")) << '}';
        separator = ", ";
    }
    m_out << "]}\n";
}
