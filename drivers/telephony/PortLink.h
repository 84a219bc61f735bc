#pragma once

#include "telephony/ByteLink.h"

#include <string>
#include <string_view>

class LogFile;

// The serial layer's write and read over an open descriptor: a modem's serial device or a
// TCP connection to a paging terminal. Every write and read is logged as a dump line
// ("Write", "Read", "Read (tmo)") at level 11 with the driver's origin tag. The descriptor
// belongs to the caller (the line device), which closes it after interrupt() or after
// destroying the link. A descriptor other than a socket is switched to non-blocking while
// the link works on it (so that a write held up by flow control can be interrupted);
// interrupt() and the destructor put its flags back.
class PortLink : public ByteLink
{
public:
    // A link over the descriptor, logging to `log` (open for the send) with `tag`. With
    // `modemResults` the link watches what arrives for the modem's "NO CARRIER": from then on
    // the connection counts as lost.
    PortLink(int fd, LogFile& log, std::string_view tag, bool modemResults = false);
    ~PortLink() override;
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    [[nodiscard]] bool write(const void* bytes, std::size_t length) override;
    [[nodiscard]] bool read(char* buffer, std::size_t& length, std::string_view terminators,
                            int timeoutMs) override;
    int lastError() const override;
    // Once lost, every read and write fails at once (202, 200) and writes nothing.
    bool connectionLost() const override;

    // Makes a read or write in progress fail at once, and every later one too. Thread-safe;
    // returns only when no thread is inside a read or write on the descriptor any more, so
    // the owner may close it then.
    void interrupt();
    // The descriptor the link works on.
    int fd() const { return m_fd; }

private:
    void restoreFlags();
    // Follows the bytes read for "NO CARRIER"; true when the byte completes it.
    bool sawNoCarrier(char byte);

    int m_fd;
    LogFile& m_log;
    std::string m_tag;
    struct State;
    State* m_state; // interruption and busy tracking, shared with interrupt()
};
