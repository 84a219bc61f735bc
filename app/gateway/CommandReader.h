#pragma once

#include "LineAssembler.h"

#include <functional>
#include <string>

class TcpSocket;
class GatewayWake;

// How reading a command line ended.
enum class ReadOutcome {
    Line, // a whole line was read
    Lost, // a byte could not be read: the wait ran out, the receive failed or the peer closed
    Abandoned, // the owner asked the reader to give up (the gateway is shutting down)
};

// Reads the command lines of one client, one byte at a time, each byte waited for up to a
// given time. A wake event lets another thread interrupt a wait: the reader then gives up
// when `abandon` says so, and otherwise goes on waiting out the same byte's time.
class CommandReader
{
public:
    // The gateway's waiting time for each byte, in milliseconds.
    static constexpr int byteWaitMs = 30000;

    // A reader of `connection`; `wake` and `abandon` may be empty (no interruption).
    CommandReader(TcpSocket& connection, GatewayWake* wake, std::function<bool()> abandon);

    // Reads the next non-empty line (see LineAssembler) into `line`.
    ReadOutcome readLine(std::string& line, int waitMs = byteWaitMs);
    // The characters read of the line that was being read when reading was lost or abandoned.
    const std::string& partial() const { return m_assembler.partial(); }

private:
    enum class ByteOutcome { Byte, Lost, Abandoned };

    ByteOutcome readByte(char& byte, int waitMs);
    bool abandoned() const;

    TcpSocket& m_connection;
    GatewayWake* m_wake;
    std::function<bool()> m_abandon;
    LineAssembler m_assembler;
};
