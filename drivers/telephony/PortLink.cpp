#include "telephony/PortLink.h"

#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "threads/WakeEvent.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int levelErrors = LogLevel::Errors;
constexpr int levelDump = LogLevel::Debug5;
constexpr int levelTerminator = LogLevel::Debug6;

constexpr int codeWriteFailed = 200;
constexpr int codeShortWrite = 201;
constexpr int codeReadFailed = 202;
constexpr int codeReadTimeout = 203;

// The result a modem gives when the carrier is gone and it is back in command mode.
constexpr std::string_view noCarrier = "NO CARRIER";

// The errors with which a device or a connection says that the other end has hung up.
bool isHangUp(int error)
{
    return error == EIO || error == EPIPE || error == ECONNRESET;
}

// Without a wake-up descriptor an interrupt is noticed at the next poll slice.
constexpr int fallbackSliceMs = 100;

} // namespace

struct PortLink::State
{
    WakeEvent wake; // readable for good once the link is interrupted (never cleared)
    bool isSocket = false;
    int savedFlags = -1; // the descriptor's flags to put back, when they were changed
    std::atomic<int> lastError {0};
    std::mutex mutex;
    std::condition_variable idle;
    int busy = 0; // threads inside read() or write()
    bool interrupted = false;
    bool modemResults = false;
    std::atomic<bool> lost {false};
    std::size_t noCarrierMatched = 0; // how much of "NO CARRIER" the last bytes read spelt

    // Registers a thread inside an operation; false once the link is interrupted.
    bool enter()
    {
        const std::lock_guard<std::mutex> guard(mutex);
        if (interrupted) {
            return false;
        }
        ++busy;
        return true;
    }

    void leave()
    {
        const std::lock_guard<std::mutex> guard(mutex);
        if (--busy == 0) {
            idle.notify_all();
        }
    }

    bool isInterrupted()
    {
        const std::lock_guard<std::mutex> guard(mutex);
        return interrupted;
    }

    // Leaves the operation on every exit, so interrupt() never waits for a thread that is gone.
    class BusyScope
    {
    public:
        explicit BusyScope(State& state)
            : m_state(state)
        { }
        ~BusyScope() { m_state.leave(); }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        State& m_state;
    };
};

PortLink::PortLink(int fd, LogFile& log, std::string_view tag, bool modemResults)
    : m_fd(fd)
    , m_log(log)
    , m_tag(tag)
    , m_state(new State)
{
    m_state->modemResults = modemResults;
    struct stat info = {};
    m_state->isSocket = ::fstat(fd, &info) == 0 && S_ISSOCK(info.st_mode);
    // A blocking write() to a terminal whose buffers are full (flow control, a peer that
    // does not read) sleeps in the kernel where no interrupt reaches it. Sockets get
    // MSG_DONTWAIT per call; other descriptors are made non-blocking while the link uses
    // them.
    if (fd >= 0 && !m_state->isSocket) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0 && (flags & O_NONBLOCK) == 0
            && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0) {
            m_state->savedFlags = flags;
        }
    }
}

PortLink::~PortLink()
{
    restoreFlags();
    delete m_state;
}

int PortLink::lastError() const
{
    return m_state->lastError.load();
}

bool PortLink::connectionLost() const
{
    return m_state->lost.load();
}

void PortLink::interrupt()
{
    {
        const std::lock_guard<std::mutex> guard(m_state->mutex);
        m_state->interrupted = true;
    }
    m_state->wake.signal();
    {
        std::unique_lock<std::mutex> lock(m_state->mutex);
        m_state->idle.wait(lock, [this] { return m_state->busy == 0; });
    }
    // Nobody uses the descriptor through the link any more: the owner gets it back as it was.
    restoreFlags();
}

void PortLink::restoreFlags()
{
    const std::lock_guard<std::mutex> guard(m_state->mutex);
    if (m_state->savedFlags >= 0) {
        (void)::fcntl(m_fd, F_SETFL, m_state->savedFlags);
        m_state->savedFlags = -1;
    }
}

bool PortLink::write(const void* bytes, std::size_t length)
{
    m_log.writeDump(levelDump, m_tag, "Write", bytes, length);
    const auto* data = static_cast<const char*>(bytes);
    std::size_t written = 0;
    int error = 0;
    if (m_fd < 0) {
        error = EBADF;
    } else if (m_state->lost.load()) {
        // After a lost carrier the modem takes every byte as a command: nothing goes out.
        error = ENOTCONN;
    } else if (!m_state->enter()) {
        error = ECANCELED;
    } else {
        State::BusyScope scope(*m_state);
        while (written < length) {
            pollfd fds[2] = {{m_fd, POLLOUT, 0}, {m_state->wake.fd(), POLLIN, 0}};
            const nfds_t count = m_state->wake.fd() >= 0 ? 2 : 1;
            // No write time-out: a port held back by flow control waits until it may go on
            // or the link is interrupted.
            const int ready = ::poll(fds, count, m_state->wake.fd() >= 0 ? -1 : fallbackSliceMs);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready < 0) {
                error = errno;
                break;
            }
            if ((count == 2 && fds[1].revents != 0) || m_state->isInterrupted()) {
                error = ECANCELED;
                break;
            }
            if (ready == 0) {
                continue;
            }
            if ((fds[0].revents & POLLNVAL) != 0) {
                error = EBADF;
                break;
            }
            if ((fds[0].revents & POLLOUT) == 0) {
                error = (fds[0].revents & POLLHUP) != 0 ? EPIPE : EIO;
                m_state->lost = m_state->lost || error == EPIPE;
                break;
            }
            // On a socket, send() without SIGPIPE: a terminal that hung up must not end the
            // process.
            const ssize_t n = m_state->isSocket
                ? ::send(m_fd, data + written, length - written, MSG_NOSIGNAL | MSG_DONTWAIT)
                : ::write(m_fd, data + written, length - written);
            if (n > 0) {
                written += static_cast<std::size_t>(n);
            } else if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
                continue;
            } else {
                error = n < 0 ? errno : EIO;
                m_state->lost = m_state->lost || isHangUp(error);
                break;
            }
        }
    }
    if (error == 0) {
        return true;
    }
    if (written == 0) {
        m_state->lastError = codeWriteFailed;
        m_log.write(levelErrors, m_tag, "Error: WriteFile failed (erc=%d)", error);
    } else {
        m_state->lastError = codeShortWrite;
        m_log.write(levelErrors, m_tag, "Cannot write all chars (%d written)",
                    static_cast<int>(written));
    }
    return false;
}

bool PortLink::sawNoCarrier(char byte)
{
    // The modem words its results in the framing of the commands (8 bits, no parity), which
    // the port set up for IXO/TAP (7 bits, even parity) reads as a NUL for every letter whose
    // parity does not fit: such a letter may come as NUL. "N" and "A" always come through.
    const auto fits = [](char wanted, char got) {
        if (got == wanted) {
            return true;
        }
        const int ones = __builtin_popcount(static_cast<unsigned char>(wanted));
        return got == '\0' && ones % 2 == 1;
    };
    std::size_t& matched = m_state->noCarrierMatched;
    if (fits(noCarrier[matched], byte)) {
        ++matched;
    } else {
        // "N" is the only letter that can start the result again.
        matched = byte == noCarrier[0] ? 1 : 0;
    }
    if (matched < noCarrier.size()) {
        return false;
    }
    matched = 0;
    return true;
}

bool PortLink::read(char* buffer, std::size_t& length, std::string_view terminators, int timeoutMs)
{
    const std::size_t capacity = length;
    length = 0;
    if (capacity == 0) {
        m_state->lastError = codeReadFailed;
        m_log.write(levelErrors, m_tag, "Error: ReadFile failed (erc=%d)", EINVAL);
        return false;
    }
    buffer[0] = '\0';
    // A missing descriptor would only make poll() wait for the deadline.
    const int refusal = m_fd < 0 ? EBADF
        : m_state->lost.load()   ? ENOTCONN
        : m_state->enter()       ? 0
                                 : ECANCELED;
    if (refusal != 0) {
        m_state->lastError = codeReadFailed;
        m_log.write(levelErrors, m_tag, "Error: ReadFile failed (erc=%d)", refusal);
        return false;
    }
    State::BusyScope scope(*m_state);
    const Clock::time_point deadline
        = Clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
    std::size_t held = 0;
    int error = 0;
    while (true) {
        if (held + 1 >= capacity) {
            break;
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            buffer[held] = '\0';
            m_log.writeDump(levelDump, m_tag, "Read (tmo)", buffer, held);
            m_state->lastError = codeReadTimeout;
            return false;
        }
        // Round up, so a poll never returns just short of the deadline and spins.
        const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        int waitMs = remaining > 1000000 ? 1000000 : static_cast<int>(remaining);
        if (m_state->wake.fd() < 0 && waitMs > fallbackSliceMs) {
            waitMs = fallbackSliceMs;
        }
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_state->wake.fd(), POLLIN, 0}};
        const nfds_t count = m_state->wake.fd() >= 0 ? 2 : 1;
        const int ready = ::poll(fds, count, waitMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            error = errno;
            break;
        }
        if ((count == 2 && fds[1].revents != 0) || m_state->isInterrupted()) {
            error = ECANCELED;
            break;
        }
        if (ready == 0) {
            continue;
        }
        if ((fds[0].revents & POLLNVAL) != 0) {
            error = EBADF;
            break;
        }
        if ((fds[0].revents & POLLIN) == 0) {
            // Hung up (a dropped carrier on a device that watches it, a closed connection)
            // or failed with nothing left to read: waiting for the deadline would only delay
            // the failure.
            error = (fds[0].revents & POLLHUP) != 0 ? ECONNRESET : EIO;
            if (error == ECONNRESET) {
                m_state->lost = true;
            }
            break;
        }
        char byte = 0;
        const ssize_t n
            = m_state->isSocket ? ::recv(m_fd, &byte, 1, MSG_DONTWAIT) : ::read(m_fd, &byte, 1);
        if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
            continue;
        }
        if (n < 0) {
            error = errno;
            m_state->lost = m_state->lost || isHangUp(error);
            break;
        }
        if (n == 0) {
            // End of stream: the remote end closed the connection.
            error = ECONNRESET;
            m_state->lost = true;
            break;
        }
        const bool noCarrierComplete = m_state->modemResults && sawNoCarrier(byte);
        if (byte == '\0' && !noCarrierComplete) {
            continue;
        }
        if (byte != '\0') {
            buffer[held++] = byte;
        }
        if (noCarrierComplete) {
            error = ENOTCONN;
            m_state->lost = true;
            m_log.write(levelErrors, m_tag, "Carrier lost: the modem reported NO CARRIER");
            break;
        }
        if (terminators.find(byte) != std::string_view::npos) {
            m_log.write(levelTerminator, m_tag, "Terminator found(%d)",
                        static_cast<unsigned char>(byte));
            break;
        }
    }
    buffer[held] = '\0';
    if (error != 0) {
        m_state->lastError = codeReadFailed;
        m_log.write(levelErrors, m_tag, "Error: ReadFile failed (erc=%d)", error);
        return false;
    }
    m_log.writeDump(levelDump, m_tag, "Read", buffer, held);
    length = held;
    return true;
}
