// The modem's own thread: the command interpreter, the dial results, data mode with the
// escape sequence, and the pseudo-terminal's and the remote end's descriptors.
#include "FakeModem.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace {

std::string upper(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

void writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (written < 0 && errno == EAGAIN) {
            pollfd entry {fd, POLLOUT, 0};
            ::poll(&entry, 1, 100);
        } else if (written < 0 && errno != EINTR) {
            return;
        }
    }
}

} // namespace

void FakeModem::reply(std::string_view text)
{
    m_toHost += "\r\n";
    m_toHost += text;
    m_toHost += "\r\n";
}

void FakeModem::flushToHost()
{
    while (!m_toHost.empty()) {
        const ssize_t written = ::write(m_master, m_toHost.data(), m_toHost.size());
        if (written > 0) {
            m_toHost.erase(0, static_cast<std::size_t>(written));
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            // EAGAIN: the rest goes when the master is writable again. Any other failure
            // means no host is there to read it.
            if (written < 0 && errno != EAGAIN) {
                m_toHost.clear();
            }
            return;
        }
    }
}

int FakeModem::nextTimeoutMs() const
{
    Clock::time_point due = Clock::time_point::max();
    if (m_mode == Mode::Dialing && m_pendingResult != DialResult::Silence) {
        due = m_dialDue;
    }
    if (m_mode == Mode::Data && m_pluses == 3) {
        due = std::min(due, m_lastPlus + m_guard);
    }
    if (due == Clock::time_point::max()) {
        return -1;
    }
    const auto left
        = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left + 1, 0, 60000));
}

void FakeModem::finishDial()
{
    switch (m_pendingResult) {
    case DialResult::Connect:
        if (m_remoteDialer) {
            m_callFd = m_remoteDialer(m_dialled.empty() ? std::string() : m_dialled.back());
            if (m_callFd < 0) {
                reply("NO CARRIER");
                break;
            }
        }
        reply(m_connectText);
        m_mode = Mode::Data;
        m_pluses = 0;
        m_lastDataByte = Clock::now();
        return;
    case DialResult::Busy:
        reply("BUSY");
        break;
    case DialResult::NoCarrier:
        reply("NO CARRIER");
        break;
    case DialResult::NoAnswer:
        reply("NO ANSWER");
        break;
    case DialResult::NoDialtone:
        reply("NO DIALTONE");
        break;
    case DialResult::Error:
        reply("ERROR");
        break;
    case DialResult::Silence:
        return;
    }
    m_mode = Mode::Command;
}

void FakeModem::loseCarrier()
{
    if (m_mode == Mode::Data || m_mode == Mode::OnlineCommand) {
        reply("NO CARRIER");
        m_mode = Mode::Command;
        m_pluses = 0;
    }
    endCallRemote();
}

void FakeModem::endCallRemote()
{
    if (m_callFd >= 0) {
        ::close(m_callFd);
        m_callFd = -1;
    }
}

int FakeModem::remoteDescriptor() const
{
    return m_callFd >= 0 ? m_callFd : m_remoteFd;
}

void FakeModem::forwardToRemote(std::string_view bytes)
{
    m_toRemote += bytes;
}

void FakeModem::handleLine(const std::string& line)
{
    const std::string command = trimmed(line);
    const std::string upperCommand = upper(command);
    if (!command.empty()) {
        m_linesTyped.push_back(command);
    }
    // A modem ignores lines that do not start with its attention code.
    if (upperCommand.rfind("AT", 0) != 0) {
        return;
    }
    m_commands.push_back(command);
    const auto custom = m_replies.find(upperCommand);
    const std::string body = upperCommand.substr(2);
    for (std::size_t i = 0; i < body.size();) {
        const char letter = body[i++];
        if (letter == 'D') {
            std::string number = trimmed(std::string_view(command).substr(2 + i));
            if (!number.empty() && (std::toupper(number[0]) == 'T' || number[0] == 'P')) {
                number.erase(0, 1);
            }
            m_dialled.push_back(number);
            if (custom != m_replies.end()) {
                if (!custom->second.empty()) {
                    reply(custom->second);
                }
                return;
            }
            m_mode = Mode::Dialing;
            m_pendingResult = m_dialResult;
            m_dialDue = Clock::now() + m_dialDelay;
            return;
        }
        if (letter == 'O' && m_mode == Mode::OnlineCommand) {
            reply(m_connectText);
            m_mode = Mode::Data;
            m_lastDataByte = Clock::now();
            return;
        }
        if (letter == 'H' || letter == 'Z') {
            m_mode = Mode::Command;
            m_pluses = 0;
            endCallRemote();
        }
        if (letter == 'Z') {
            m_echo = true;
        }
        if (letter == 'E') {
            m_echo = i < body.size() && body[i] == '1';
        }
        if (letter == '&' && i < body.size()) {
            ++i;
        }
        while (i < body.size() && std::isdigit(static_cast<unsigned char>(body[i]))) {
            ++i;
        }
    }
    const std::string answer = custom != m_replies.end() ? custom->second : "OK";
    if (!answer.empty()) {
        reply(answer);
    }
}

void FakeModem::handleCommandByte(char byte)
{
    if (m_echo) {
        m_toHost += byte;
    }
    if (byte == '\r') {
        const std::string line = m_line;
        m_line.clear();
        handleLine(line);
    } else if (byte == '\b' || byte == 0x7F) {
        if (!m_line.empty()) {
            m_line.pop_back();
        }
    } else if (byte != '\n' && m_line.size() < 256) {
        m_line += byte;
    }
}

void FakeModem::handleDataByte(char byte)
{
    const Clock::time_point now = Clock::now();
    if (byte == '+') {
        const bool opens = m_pluses == 0 && now - m_lastDataByte >= m_guard;
        const bool continues = m_pluses > 0 && m_pluses < 3 && now - m_lastPlus < m_guard;
        if (opens || continues) {
            ++m_pluses;
            m_lastPlus = now;
            return;
        }
    }
    // Not an escape after all: the held pluses were data.
    if (m_pluses > 0) {
        forwardToRemote(std::string(static_cast<std::size_t>(m_pluses), '+'));
        m_pluses = 0;
    }
    forwardToRemote(std::string_view(&byte, 1));
    m_lastDataByte = now;
}

void FakeModem::handleFromHost(const char* bytes, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        switch (m_mode) {
        case Mode::Command:
        case Mode::OnlineCommand:
            handleCommandByte(bytes[i]);
            break;
        case Mode::Dialing:
            // Any key stops a dial.
            reply("NO CARRIER");
            m_mode = Mode::Command;
            break;
        case Mode::Data:
            handleDataByte(bytes[i]);
            break;
        }
    }
}

void FakeModem::run()
{
    bool hostGone = false;
    char buffer[512];
    for (;;) {
        int remoteFd = -1;
        int timeoutMs = -1;
        {
            std::lock_guard lock(m_mutex);
            if (m_stop) {
                return;
            }
            if (m_mode == Mode::Data) {
                m_toHost += m_pendingToHost;
            }
            m_pendingToHost.clear();
            if (m_carrierDropRequested) {
                m_carrierDropRequested = false;
                loseCarrier();
            }
            const Clock::time_point now = Clock::now();
            if (m_mode == Mode::Dialing && m_pendingResult != DialResult::Silence
                && now >= m_dialDue) {
                finishDial();
            }
            if (m_mode == Mode::Data && m_pluses == 3 && now - m_lastPlus >= m_guard) {
                m_pluses = 0;
                ++m_escapes;
                m_mode = Mode::OnlineCommand;
                reply("OK");
            }
            remoteFd = m_mode == Mode::Data ? remoteDescriptor() : -1;
            timeoutMs = nextTimeoutMs();
        }
        if (!hostGone) {
            flushToHost();
        }
        pollfd entries[3] = {{m_wakeFd, POLLIN, 0},
                             {hostGone ? -1 : m_master,
                              static_cast<short>(POLLIN | (m_toHost.empty() ? 0 : POLLOUT)), 0},
                             {remoteFd, POLLIN, 0}};
        if (hostGone) {
            // A closed slave keeps the master hung up; look again now and then for a host
            // that opens the device anew.
            timeoutMs = timeoutMs < 0 ? 10 : std::min(timeoutMs, 10);
        }
        if (::poll(entries, 3, timeoutMs) < 0 && errno != EINTR) {
            return;
        }
        if (entries[0].revents != 0) {
            std::uint64_t count;
            [[maybe_unused]] const ssize_t drained = ::read(m_wakeFd, &count, sizeof count);
        }
        if (hostGone) {
            pollfd master {m_master, POLLIN, 0};
            hostGone = ::poll(&master, 1, 0) == 1 && (master.revents & POLLHUP) != 0;
            continue;
        }
        if ((entries[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            const ssize_t count = ::read(m_master, buffer, sizeof buffer);
            std::lock_guard lock(m_mutex);
            if (count > 0) {
                m_hostSeen = true;
                handleFromHost(buffer, static_cast<std::size_t>(count));
            } else if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
                // The host closed the device (the master reads EIO): with its DTR gone the
                // call ends too.
                if (m_hostSeen) {
                    m_hostClosed = true;
                }
                m_mode = Mode::Command;
                m_pluses = 0;
                m_line.clear();
                m_toHost.clear();
                endCallRemote();
                hostGone = true;
            }
        }
        if ((entries[2].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            const ssize_t count = ::read(remoteFd, buffer, sizeof buffer);
            std::lock_guard lock(m_mutex);
            if (count > 0) {
                m_toHost.append(buffer, static_cast<std::size_t>(count));
            } else if (count == 0 || errno != EAGAIN) {
                loseCarrier();
            }
        }
        deliverToRemote();
    }
}

void FakeModem::deliverToRemote()
{
    int remoteFd;
    std::function<void(std::string_view)> handler;
    {
        std::lock_guard lock(m_mutex);
        if (m_toRemote.empty()) {
            return;
        }
        remoteFd = remoteDescriptor();
        handler = m_remoteHandler;
        if (remoteFd < 0 && !handler) {
            m_dataFromHost += m_toRemote;
            m_toRemote.clear();
            return;
        }
    }
    const std::string bytes = std::exchange(m_toRemote, {});
    if (remoteFd >= 0) {
        writeAll(remoteFd, bytes);
    } else {
        handler(bytes);
    }
}
