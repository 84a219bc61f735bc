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

bool CommandReader::fill()
{
    std::size_t length = m_pending.size();
    const bool received = m_connection.receive(m_pending.data(), length, 0);
    if (!received || length == 0) {
        // Nothing yet leaves the socket open; the peer's close or a failure ends the reading.
        m_closed = received || m_connection.lastError() != toCode(SocketError::TimedOut);
        return false;
    }
    m_next = 0;
    m_end = length;
    return true;
}

CommandReader::ByteOutcome CommandReader::readByte(char& byte, int waitMs)
{
    using Clock = std::chrono::steady_clock;
    if (Clock::now() >= m_deadline) {
        // Also a client that keeps sending: the session's time is up either way.
        m_deadlinePassed = true;
        return ByteOutcome::Lost;
    }
    if (m_next < m_end) {
        byte = m_pending[m_next++];
        return ByteOutcome::Byte;
    }
    // What is already there is taken without the longer wait below, as much as has come in one
    // receive: a line per system call rather than a byte per call.
    if (fill()) {
        byte = m_pending[m_next++];
        return ByteOutcome::Byte;
    }
    if (m_closed) {
        return ByteOutcome::Lost;
    }
    if (m_connection.lastError() != toCode(SocketError::TimedOut)) {
        return ByteOutcome::Lost;
    }
    const auto byteDeadline = Clock::now() + std::chrono::milliseconds(waitMs);
    const bool sessionEnds = m_deadline <= byteDeadline;
    const auto deadline = sessionEnds ? m_deadline : byteDeadline;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            m_deadlinePassed = sessionEnds;
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
            if (!fill()) {
                return ByteOutcome::Lost;
            }
            byte = m_pending[m_next++];
            return ByteOutcome::Byte;
        }
    }
}
