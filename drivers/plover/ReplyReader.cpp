#include "plover/ReplyReader.h"

#include "frame/SendReporter.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "net/SocketError.h"
#include "net/SystemCalls.h"
#include "net/TcpSocket.h"
#include "plover/PloverText.h"

#include <algorithm>
#include <cerrno>
#include <sys/socket.h>
#include <sys/time.h>

ReplyReader::ReplyReader(TcpSocket& connection, SendReporter& reporter,
                         const std::atomic<bool>* stop)
    : m_connection(connection)
    , m_reporter(reporter)
    , m_stop(stop)
{ }

void ReplyReader::reset()
{
    m_next = m_end = 0;
    m_receiveTimeoutMs = -1;
}

ReplyReader::Outcome ReplyReader::read(char* buffer, std::size_t capacity,
                                       std::string_view lineEnds, Clock::time_point deadline,
                                       std::size_t& count)
{
    count = 0;
    for (;;) {
        if (m_next == m_end) {
            const Outcome outcome = fill(deadline, count);
            if (outcome != Outcome::Complete) {
                buffer[count] = '\0';
                if (outcome == Outcome::Unfinished || outcome == Outcome::Closed) {
                    m_reporter.log().writeDump(LogLevel::Debug5, m_reporter.tag(), "Read(TO)",
                                               buffer, count);
                }
                return outcome;
            }
        }
        const char byte = m_pending[m_next++];
        if (byte == '\0') {
            continue;
        }
        const bool lineEnd = lineEnds.find(byte) != std::string_view::npos;
        if (lineEnd && count == 0) {
            // The line feed after a carriage return, or a blank line: not a reply.
            continue;
        }
        buffer[count++] = byte;
        if (lineEnd || count + 1 >= capacity) {
            buffer[count] = '\0';
            m_reporter.log().writeDump(LogLevel::Errors, m_reporter.tag(), "Read", buffer, count);
            return lineEnd ? Outcome::Complete : Outcome::Cut;
        }
    }
}

ReplyReader::Outcome ReplyReader::fill(Clock::time_point deadline, std::size_t kept)
{
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            if (kept == 0) {
                m_reporter.setLastError(202);
                PloverText::log(m_reporter, LogLevel::Errors, "Error: ReadFile failed (erc=%d)",
                                toCode(SocketError::TimedOut));
                return Outcome::NoReply;
            }
            m_reporter.setLastError(203);
            return Outcome::Unfinished;
        }
        if (m_reporter.cancelRequested()) {
            PloverText::log(m_reporter, LogLevel::Debug3, "Read cancelled by the user");
            return Outcome::Cancelled;
        }
        if (m_stop != nullptr && m_stop->load()) {
            PloverText::log(m_reporter, LogLevel::Debug3, "Read abandoned: the send is winding up");
            return Outcome::Cancelled;
        }
        const int waitMs = static_cast<int>(std::min<long long>(left.count(), kCancelPollMs));
        int error = 0;
        const long received = receive(waitMs, error);
        if (received > 0) {
            m_next = 0;
            m_end = static_cast<std::size_t>(received);
            return Outcome::Complete;
        }
        if (received == 0) {
            // A closed connection answers every receive at once with nothing; waiting for
            // the deadline would only hold the send.
            m_reporter.setLastError(203);
            PloverText::log(m_reporter, LogLevel::Errors,
                            "Error: the server closed the connection");
            return Outcome::Closed;
        }
        if (error != EAGAIN && error != EWOULDBLOCK && error != EINTR) {
            m_reporter.setLastError(202);
            PloverText::log(m_reporter, LogLevel::Errors, "Error: ReadFile failed (erc=%d)",
                            toCode(SocketError::SystemBase) + error);
            return Outcome::Failed;
        }
    }
}

long ReplyReader::receive(int waitMs, int& error)
{
    // One blocking receive bounded by the socket's receive time-out, rather than a wait and
    // then a receive: replies are awaited dozens of times per send.
    SystemCalls& calls = SystemCalls::current();
    const int handle = m_connection.handle();
    if (waitMs != m_receiveTimeoutMs) {
        timeval limit {};
        limit.tv_sec = waitMs / 1000;
        limit.tv_usec = static_cast<suseconds_t>((waitMs % 1000) * 1000);
        if (calls.setSockOpt(handle, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) != 0) {
            error = errno;
            return -1;
        }
        m_receiveTimeoutMs = waitMs;
    }
    const ssize_t received = calls.recv(handle, m_pending.data(), m_pending.size(), 0);
    error = received < 0 ? errno : 0;
    return static_cast<long>(received);
}
