#pragma once

#include "gateway/LineAssembler.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

class TcpSocket;
class WakeEvent;

// How reading a command line ended.
enum class ReadOutcome {
    Line, // a whole line was read
    Lost, // a byte could not be read: the wait ran out, the receive failed or the peer closed
    Abandoned, // the owner asked the reader to give up (the gateway is shutting down)
};

// Reads the command lines of one client, byte by byte from what each receive brought, each
// byte waited for up to a given time. A wake event lets another thread interrupt a wait: the reader
// then gives up when `abandon` says so, and otherwise goes on waiting out the same byte's time.
class CommandReader
{
public:
    // The gateway's waiting time for each byte, in milliseconds.
    static constexpr int byteWaitMs = 30000;

    // A reader of `connection`; `wake` and `abandon` may be empty (no interruption).
    CommandReader(TcpSocket& connection, WakeEvent* wake, std::function<bool()> abandon);

    // Ends reading at `deadline` as if the client had gone silent (the whole session's bound);
    // without one only the wait for each byte counts.
    void setDeadline(std::chrono::steady_clock::time_point deadline) { m_deadline = deadline; }
    // Whether reading was lost because the deadline had come.
    bool deadlinePassed() const { return m_deadlinePassed; }

    // Reads the next non-empty line (see LineAssembler) into `line`.
    [[nodiscard]] ReadOutcome readLine(std::string& line, int waitMs = byteWaitMs);
    // The characters read of the line that was being read when reading was lost or abandoned.
    const std::string& partial() const { return m_assembler.partial(); }

private:
    enum class ByteOutcome { Byte, Lost, Abandoned };

    ByteOutcome readByte(char& byte, int waitMs);
    // Receives what has come without waiting; false when nothing had (m_closed then tells
    // whether the connection failed or closed).
    bool fill();
    bool abandoned() const;

    TcpSocket& m_connection;
    WakeEvent* m_wake;
    std::function<bool()> m_abandon;
    LineAssembler m_assembler;
    std::array<char, 1024> m_pending {}; // received, not yet taken: m_next up to m_end
    std::size_t m_next = 0;
    std::size_t m_end = 0;
    bool m_closed = false;
    std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::time_point::max();
    bool m_deadlinePassed = false;
};
