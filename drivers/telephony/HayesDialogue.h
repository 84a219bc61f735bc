#pragma once

#include <string>
#include <string_view>

class LogFile;

// What a Hayes modem answered to a command, or why no answer came.
enum class ModemReply {
    Ok,
    Connect, // "CONNECT" with or without a rate
    Busy,
    NoCarrier,
    NoAnswer,
    NoDialtone, // "NO DIALTONE" or "NO DIAL TONE"
    Refused, // "DELAYED" or "BLACKLISTED": the modem will not dial the number now
    Error,
    TimedOut, // no final result within the time given
    Interrupted, // the line was hung up while waiting
    PortFailed, // the serial device failed or went away
};

// The command dialogue with a Hayes modem over a serial descriptor: sends a command line and
// reads the modem's answer lines (skipping its echo and informational lines such as RING)
// until a final result code comes. Every wait also watches a wake descriptor, so a hang-up
// from another thread ends it at once. Reads take one byte at a time, so the bytes that
// follow a CONNECT line stay unread for the link.
class HayesDialogue
{
public:
    // Talks over `fd` (non-blocking), waking when `wakeFd` becomes readable (-1: never);
    // commands and answers are logged at level 10 with the tag.
    HayesDialogue(int fd, int wakeFd, LogFile& log, std::string_view tag);

    // Drops what the modem sent that nobody has read (a late answer to an earlier command),
    // sends the command followed by CR and waits up to timeoutMs for its final result.
    ModemReply command(std::string_view text, int timeoutMs);
    // Sends bytes as they are (the escape sequence, a bare CR); false when that failed.
    [[nodiscard]] bool send(std::string_view bytes, int timeoutMs);
    // Waits up to timeoutMs for the next final result.
    ModemReply awaitResult(int timeoutMs);
    // Drops whatever the modem sent that nobody has read yet.
    void discardInput();
    // The last answer line that ended a wait (for log and error texts).
    const std::string& lastLine() const { return m_lastLine; }

    // The final result a line of the modem's answer stands for; TimedOut when it is no final
    // result (echo, RING, CONNECT's companions such as CARRIER or PROTOCOL, empty lines).
    static ModemReply classify(std::string_view line);
    // The reply's name for log lines.
    static std::string_view name(ModemReply reply);

private:
    enum class Wait { Ready, TimedOut, Woken, Failed };
    Wait waitFor(short events, int timeoutMs);
    Wait writeAll(std::string_view bytes, int timeoutMs);

    int m_fd;
    int m_wakeFd;
    LogFile& m_log;
    std::string m_tag;
    std::string m_lastLine;
};
