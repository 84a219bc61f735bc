#include "gateway/CommandReader.h"

#include "net/SystemCalls.h"
#include "net/TcpSocket.h"
#include "threads/WakeEvent.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <utility>

CommandReader::CommandReader(TcpSocket& connection, WakeEvent* wake, std::function<bool()> abandon)
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
    ssize_t received = -1;
    do {
        received = SystemCalls::current().recv(m_connection.handle(), m_pending.data(),
                                               m_pending.size(), MSG_DONTWAIT);
    } while (received < 0 && errno == EINTR);
    if (received <= 0) {
        // Nothing yet leaves the connection open; the peer's close or a failure ends it.
        m_closed = received == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        return false;
    }
    m_next = 0;
    m_end = static_cast<std::size_t>(received);
    return true;
}

CommandReader::ByteOutcome CommandReader::readByte(char& byte, int waitMs)
{
    using Clock = std::chrono::steady_clock;
    // Bytes already received are handed out without a look at the clock; the session's bound
    // is checked before each receive, which a client that keeps sending also reaches.
    if (m_next < m_end) {
        byte = m_pending[m_next++];
        return ByteOutcome::Byte;
    }
    if (Clock::now() >= m_deadline) {
        // Also a client that keeps sending: the session's time is up either way.
        m_deadlinePassed = true;
        return ByteOutcome::Lost;
    }
    if (m_closed) {
        return ByteOutcome::Lost;
    }
    // A client sends its next command only after the reply to the last, so the wait comes
    // first; a wait that finds the bytes there returns at once. Whatever has come is taken in
    // one receive: a system call per line rather than per byte.
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
            entries[1].fd = m_wake->fd();
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
                if (m_closed) {
                    return ByteOutcome::Lost;
                }
                continue;
            }
            byte = m_pending[m_next++];
            return ByteOutcome::Byte;
        }
    }
}
