#include "SnppTestServer.h"

#include "LoopbackSocket.h"
#include "TestFailure.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kPollMs = 20;

const char* const kHelp = "214 Level 1 commands accepted:\r\n"
                          "214     PAGEr <pager ID>\r\n"
                          "214     MESSage <alphanumeric message>\r\n"
                          "214     RESEt\r\n"
                          "214     SEND\r\n"
                          "214     QUIT\r\n"
                          "214     HELP\r\n"
                          "250 End of Help Information\r\n";

} // namespace

struct SnppTestServer::Connection
{
    int handle = -1;
    std::string received;
    std::vector<std::string> pagers;
    bool hasMessage = false;
    std::string message;
};

SnppTestServer::SnppTestServer() = default;

SnppTestServer::~SnppTestServer()
{
    stop();
}

bool SnppTestServer::start()
{
    m_listener = listenOnLoopback(8, m_port);
    if (m_listener < 0) {
        testFailure(std::string("test SNPP server: cannot listen on 127.0.0.1: ")
                    + std::strerror(errno));
        return false;
    }
    m_stopping = false;
    m_thread = std::thread([this] { serve(); });
    return true;
}

void SnppTestServer::stop()
{
    m_stopping = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_listener >= 0) {
        ::close(m_listener);
        m_listener = -1;
    }
}

void SnppTestServer::addCue(SnppCue cue)
{
    const std::lock_guard lock(m_mutex);
    m_cues.push_back(std::move(cue));
}

void SnppTestServer::answer(const std::string& command, const std::string& reply, int times)
{
    addCue({command, SnppCue::Action::Reply, reply, times, 0});
}

void SnppTestServer::greet(const std::string& reply)
{
    answer("GREETING", reply, -1);
}

void SnppTestServer::silenceOn(const std::string& command, int times)
{
    addCue({command, SnppCue::Action::Silence, {}, times, 0});
}

void SnppTestServer::closeOn(const std::string& command, const std::string& partialReply)
{
    addCue({command, SnppCue::Action::Close, partialReply, 1, 0});
}

void SnppTestServer::lateOn(const std::string& command, int occurrence, const std::string& reply,
                            int delayMs)
{
    SnppCue cue {command, SnppCue::Action::Late, reply, 1, delayMs};
    cue.after = occurrence - 1;
    addCue(cue);
}

std::string SnppTestServer::address() const
{
    return "127.0.0.1:" + std::to_string(m_port);
}

std::vector<std::string> SnppTestServer::lines() const
{
    const std::lock_guard lock(m_mutex);
    return m_lines;
}

std::string SnppTestServer::received() const
{
    const std::lock_guard lock(m_mutex);
    return m_received;
}

std::vector<SnppTestServer::Page> SnppTestServer::pages() const
{
    const std::lock_guard lock(m_mutex);
    return m_pages;
}

int SnppTestServer::connections() const
{
    const std::lock_guard lock(m_mutex);
    return m_connections;
}

int SnppTestServer::finishedConnections() const
{
    const std::lock_guard lock(m_mutex);
    return m_finished;
}

bool SnppTestServer::waitForFinished(int count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_finished >= count; });
}

void SnppTestServer::serve()
{
    while (!m_stopping) {
        pollfd entry {m_listener, POLLIN, 0};
        if (::poll(&entry, 1, kPollMs) <= 0) {
            continue;
        }
        const int handle = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (handle < 0) {
            continue;
        }
        {
            const std::lock_guard lock(m_mutex);
            ++m_connections;
        }
        m_changed.notify_all();
        serveConnection(handle);
        ::close(handle);
        {
            const std::lock_guard lock(m_mutex);
            ++m_finished;
        }
        m_changed.notify_all();
    }
}

void SnppTestServer::serveConnection(int handle)
{
    Connection connection;
    connection.handle = handle;
    std::string sent;
    if (!applyCue(connection, "GREETING", kGreeting, sent)) {
        return;
    }
    char chunk[4096];
    while (!m_stopping) {
        pollfd entry {handle, POLLIN, 0};
        if (::poll(&entry, 1, kPollMs) <= 0) {
            continue;
        }
        const ssize_t received = ::recv(handle, chunk, sizeof chunk, 0);
        if (received <= 0) {
            return;
        }
        connection.received.append(chunk, static_cast<std::size_t>(received));
        {
            const std::lock_guard lock(m_mutex);
            m_received.append(chunk, static_cast<std::size_t>(received));
        }
        std::size_t end = 0;
        while ((end = connection.received.find('\n')) != std::string::npos) {
            std::string line = connection.received.substr(0, end);
            connection.received.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            {
                const std::lock_guard lock(m_mutex);
                m_lines.push_back(line);
            }
            m_changed.notify_all();
            if (!handleLine(connection, line)) {
                return;
            }
        }
    }
}

bool SnppTestServer::handleLine(Connection& connection, const std::string& line)
{
    const std::size_t blank = line.find(' ');
    std::string command = line.substr(0, std::min<std::size_t>(4, blank));
    std::transform(command.begin(), command.end(), command.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const std::string argument = blank == std::string::npos ? "" : line.substr(blank + 1);

    std::string normal;
    if (command == "PAGE") {
        normal = "250 Pager ID Accepted\r\n";
    } else if (command == "MESS") {
        normal = connection.hasMessage ? "503 Error, Message Already Entered\r\n"
                                       : "250 Message OK\r\n";
    } else if (command == "RESE") {
        normal = "250 Reset OK\r\n";
    } else if (command == "SEND") {
        normal = !connection.pagers.empty() && connection.hasMessage
            ? "250 Message Sent Successfully\r\n"
            : "503 Error, Pager ID or Message Incomplete\r\n";
    } else if (command == "QUIT") {
        normal = "221 OK, Goodbye\r\n";
    } else if (command == "HELP") {
        normal = kHelp;
    } else {
        normal = "500 Command Not Implemented, Try Again\r\n";
    }
    std::string sent;
    const bool open = applyCue(connection, command, normal, sent);
    recordEffect(connection, command, argument, sent);
    return open && command != "QUIT";
}

bool SnppTestServer::applyCue(Connection& connection, const std::string& command,
                              const std::string& normalReply, std::string& sent)
{
    SnppCue cue {command, SnppCue::Action::Reply, normalReply, 1, 0};
    {
        const std::lock_guard lock(m_mutex);
        for (SnppCue& candidate : m_cues) {
            if (candidate.command == command && candidate.times != 0) {
                if (candidate.after > 0) {
                    // This occurrence still gets the normal answer (or a later cue's).
                    --candidate.after;
                    continue;
                }
                if (candidate.times > 0) {
                    --candidate.times;
                }
                cue = candidate;
                break;
            }
        }
    }
    switch (cue.action) {
    case SnppCue::Action::Reply:
        sent = cue.reply;
        return sendAll(connection.handle, cue.reply);
    case SnppCue::Action::Silence:
        return true;
    case SnppCue::Action::Close:
        sent = cue.reply;
        sendAll(connection.handle, cue.reply);
        ::shutdown(connection.handle, SHUT_RDWR);
        return false;
    case SnppCue::Action::Reset: {
        // Linger with no time: the close resets the connection instead of ending it.
        const linger abort {1, 0};
        ::setsockopt(connection.handle, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        return false;
    }
    case SnppCue::Action::Late:
        sent = cue.reply;
        return pause(cue.delayMs) && sendAll(connection.handle, cue.reply);
    case SnppCue::Action::Trickle:
        sent = cue.reply;
        for (const char byte : cue.reply) {
            if (!sendAll(connection.handle, std::string(1, byte)) || !pause(cue.delayMs)) {
                return false;
            }
        }
        return true;
    }
    return true;
}

void SnppTestServer::recordEffect(Connection& connection, const std::string& command,
                                  const std::string& argument, const std::string& reply)
{
    const char first = reply.empty() ? '\0' : reply[0];
    if (command == "PAGE" && first == '2') {
        connection.pagers.push_back(argument);
    } else if (command == "MESS" && first == '2') {
        connection.hasMessage = true;
        connection.message = argument;
    } else if (command == "RESE" && first == '2') {
        connection.pagers.clear();
        connection.hasMessage = false;
    } else if (command == "SEND" && (first == '2' || first == '8' || first == '9')
               && !connection.pagers.empty() && connection.hasMessage) {
        {
            const std::lock_guard lock(m_mutex);
            for (const std::string& pager : connection.pagers) {
                m_pages.push_back({pager, connection.message});
            }
        }
        m_changed.notify_all();
        connection.pagers.clear();
        connection.hasMessage = false;
    }
}

bool SnppTestServer::sendAll(int handle, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(handle, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(sent);
    }
    return true;
}

bool SnppTestServer::pause(int ms)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        if (m_stopping) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 5)));
    }
    return !m_stopping;
}
