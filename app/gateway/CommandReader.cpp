#include "CommandReader.h"

#include "GatewayWake.h"
#include "net/SocketError.h"
#include "net/SystemCalls.h"
#include "net/TcpSocket.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <utility>

CommandReader::CommandReader(TcpSocket& connection, GatewayWake* wake,
                             std::function<bool()> abandon)
    : m_connection(connection)
    , m_wake(wake)
    , m_abandon(std::move(abandon))
{ }

bool CommandReader::abandoned() const
{
    return m_abandon && m_abandon();
}

ReadOutcome CommandReader::readLine(std::string& line, int waitMs)
{
    for (;;) {
        if (abandoned()) {
            return ReadOutcome::Abandoned;
        }
        char byte = 0;
        const ByteOutcome outcome = readByte(byte, waitMs);
        if (outcome == ByteOutcome::Lost) {
            return ReadOutcome::Lost;
        }
        if (outcome == ByteOutcome::Abandoned) {
            return ReadOutcome::Abandoned;
        }
        if (m_assembler.push(byte)) {
            line = m_assembler.takeLine();
            return ReadOutcome::Line;
        }
    }
}

CommandReader::ByteOutcome CommandReader::readByte(char& byte, int waitMs)
{
    // A byte that is already there is taken without the longer wait below.
    std::size_t length = 1;
    if (m_connection.receive(&byte, length, 0)) {
        return length == 1 ? ByteOutcome::Byte : ByteOutcome::Lost;
    }
    if (m_connection.lastError() != toCode(SocketError::TimedOut)) {
        return ByteOutcome::Lost;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return ByteOutcome::Lost;
        }
        pollfd entries[2] = {{m_connection.handle(), POLLIN, 0}, {-1, POLLIN, 0}};
        nfds_t count = 1;
        if (m_wake != nullptr && m_wake->isValid()) {
            entries[1].fd = m_wake->handle();
            count = 2;
        }
        const int ready
            = SystemCalls::current().poll(entries, count, static_cast<int>(left.count()));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return ByteOutcome::Lost;
        }
        if (count == 2 && entries[1].revents != 0) {
            m_wake->clear();
            if (abandoned()) {
                return ByteOutcome::Abandoned;
            }
        }
        if (entries[0].revents != 0) {
            length = 1;
            if (!m_connection.receive(&byte, length, 0) || length == 0) {
                return ByteOutcome::Lost;
            }
            return ByteOutcome::Byte;
        }
    }
}
