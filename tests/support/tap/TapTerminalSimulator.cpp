#include "TapTerminalSimulator.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string systemError(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

TapTerminalSimulator::TapTerminalSimulator(TapTerminalScript script)
    : m_terminal(std::move(script))
    , m_stopFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{ }

TapTerminalSimulator::~TapTerminalSimulator()
{
    stop();
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
    }
    if (m_stopFd >= 0) {
        ::close(m_stopFd);
    }
}

bool TapTerminalSimulator::serve(int fd)
{
    if (m_thread.joinable() || m_stopFd < 0 || fd < 0) {
        return false;
    }
    struct stat info = {};
    m_isSocket = ::fstat(fd, &info) == 0 && S_ISSOCK(info.st_mode);
    m_thread = std::thread([this, fd] { run(fd, false); });
    return true;
}

bool TapTerminalSimulator::listen(int port)
{
    if (m_thread.joinable() || m_stopFd < 0) {
        return false;
    }
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0) {
        return false;
    }
    const int on = 1;
    (void)::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    socklen_t length = sizeof address;
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listenFd, 1) != 0
        || ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
        return false;
    }
    m_port = ntohs(address.sin_port);
    m_isSocket = true;
    m_thread = std::thread([this] { acceptAndServe(); });
    return true;
}

void TapTerminalSimulator::stop()
{
    if (!m_thread.joinable()) {
        return;
    }
    const std::uint64_t one = 1;
    (void)!::write(m_stopFd, &one, sizeof one);
    m_thread.join();
}

bool TapTerminalSimulator::waitForEnd(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_ended.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [this] { return m_over || m_terminal.eotSeen(); });
}

void TapTerminalSimulator::acceptAndServe()
{
    pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
    while (true) {
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            finish(systemError("poll on the listener"));
            return;
        }
        if (fds[1].revents != 0) {
            finish({});
            return;
        }
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            // A terminal's answers go out as it makes them: without this, an answer written
            // in two pieces (the login's ACK, then the go-ahead) would hold its second piece
            // back until the caller's delayed acknowledgement of the first, some 40 ms.
            const int on = 1;
            (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            run(fd, true);
            return;
        }
        if (errno != EINTR && errno != EAGAIN && errno != ECONNABORTED) {
            finish(systemError("accept"));
            return;
        }
    }
}

void TapTerminalSimulator::run(int fd, bool ownsFd)
{
    session(fd);
    if (ownsFd) {
        // The terminal hangs up: the caller's pending reads end at once.
        ::close(fd);
    }
}

void TapTerminalSimulator::session(int fd)
{
    using Clock = std::chrono::steady_clock;
    // The simulator is busy from the moment input is ready until its answers are written;
    // the script's pauses and the waits for input are not its own work.
    Clock::time_point busySince = Clock::now();
    const auto endBusy = [this, &busySince] {
        const Clock::duration spent = Clock::now() - busySince;
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_handlingTime += spent;
    };
    std::vector<TapTerminal::Output> out;
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_terminal.connected(out);
    }
    char chunk[512];
    while (true) {
        for (const TapTerminal::Output& piece : out) {
            if (piece.delayMs > 0) {
                endBusy();
                if (!pause(piece.delayMs)) {
                    finish({});
                    return;
                }
                busySince = Clock::now();
            }
            if (!sendAll(fd, piece.bytes)) {
                finish(systemError("write to the caller"));
                return;
            }
        }
        out.clear();
        endBusy();
        {
            const std::lock_guard<std::mutex> guard(m_mutex);
            if (m_terminal.eotSeen() && m_listenFd >= 0) {
                break;
            }
            if (m_terminal.hungUp()) {
                // A connection the simulator does not own is shut down: the caller (or the
                // fake modem) sees the end of the stream all the same.
                if (m_isSocket && m_listenFd < 0) {
                    ::shutdown(fd, SHUT_RDWR);
                }
                break;
            }
        }
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            finish(systemError("poll"));
            return;
        }
        if (fds[1].revents != 0) {
            break;
        }
        busySince = Clock::now();
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            // The caller hung up (a pseudo-terminal reports that as EIO).
            break;
        }
        const std::lock_guard<std::mutex> guard(m_mutex);
        for (ssize_t i = 0; i < n; ++i) {
            m_terminal.receive(static_cast<unsigned char>(chunk[i]), out);
        }
        if (m_terminal.eotSeen()) {
            m_ended.notify_all();
        }
    }
    finish({});
}

bool TapTerminalSimulator::pause(int delayMs)
{
    if (delayMs <= 0) {
        return true;
    }
    pollfd stopper {m_stopFd, POLLIN, 0};
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs);
    while (true) {
        const auto left
            = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now())
                  .count();
        if (left <= 0) {
            return true;
        }
        const int ready = ::poll(&stopper, 1, static_cast<int>(left));
        if (ready > 0) {
            return false;
        }
    }
}

bool TapTerminalSimulator::sendAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = m_isSocket
            ? ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)
            : ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void TapTerminalSimulator::finish(const std::string& failure)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_over = true;
    if (m_failure.empty()) {
        m_failure = failure;
    }
    m_ended.notify_all();
}

int TapTerminalSimulator::wakeUps() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_terminal.wakeUps();
}

int TapTerminalSimulator::prompts() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_terminal.prompts();
}

int TapTerminalSimulator::logins() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_terminal.logins();
}

std::vector<TapReceivedBlock> TapTerminalSimulator::blocks() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_terminal.blocks();
}

std::vector<TapReceivedMessage> TapTerminalSimulator::messages() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_terminal.messages();
}

int TapTerminalSimulator::badChecksums() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_terminal.badChecksums();
}

bool TapTerminalSimulator::eotSeen() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_terminal.eotSeen();
}

std::string TapTerminalSimulator::received() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_terminal.received();
}

std::string TapTerminalSimulator::sent() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_terminal.sent();
}

std::string TapTerminalSimulator::failure() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_failure;
}

std::chrono::nanoseconds TapTerminalSimulator::handlingTime() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_handlingTime;
}
