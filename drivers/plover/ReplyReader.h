#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <string_view>

class SendReporter;
class TcpSocket;

// Reads the SNPP server's reply lines from the connection: byte by byte out of what has
// arrived, skipping NUL bytes and the line ends a line starts with, into the caller's buffer
// of fixed capacity. Failures set the send's overall code (202 no reply, 203 unfinished reply
// or connection closed) and are logged; received lines are logged as "Read" dump lines.
// The waits look at the send's cancel request (and the owner's stop request) often, so a
// cancelled or stopped send never sits out a silent server.
class ReplyReader
{
public:
    using Clock = std::chrono::steady_clock;

    // How reading one line ended.
    enum class Outcome {
        Complete, // a line up to and including its line end
        Cut, // the buffer filled before the line end came: the rest of the line follows
        NoReply, // nothing came before the deadline (202)
        Unfinished, // the line had begun but did not end before the deadline (203)
        Closed, // the server closed the connection (203)
        Failed, // the receive failed (202)
        Cancelled, // the user cancelled the send, or the owner asked to stop, while it waited
    };

    // A reader of the connection, reporting to `reporter`; it stops waiting once `stop` (when
    // given) is set.
    ReplyReader(TcpSocket& connection, SendReporter& reporter,
                const std::atomic<bool>* stop = nullptr);

    // Reads one line into buffer (capacity bytes, at least 2): at most capacity - 1
    // characters and a terminating zero; the line keeps its final line-end character.
    // `count` gives the characters kept.
    Outcome read(char* buffer, std::size_t capacity, std::string_view lineEnds,
                 Clock::time_point deadline, std::size_t& count);
    // Forgets bytes held from an earlier connection.
    void reset();

    // The longest single wait before the cancel request is looked at again.
    static constexpr int kCancelPollMs = 50;

private:
    Outcome fill(Clock::time_point deadline, std::size_t kept);
    long receive(int waitMs, int& error);

    TcpSocket& m_connection;
    SendReporter& m_reporter;
    const std::atomic<bool>* m_stop;
    std::array<char, 512> m_pending {};
    std::size_t m_next = 0;
    std::size_t m_end = 0;
    int m_receiveTimeoutMs = -1; // the connection's receive time-out as last set
};
