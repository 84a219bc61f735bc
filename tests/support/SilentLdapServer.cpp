#include "SilentLdapServer.h"

#include "LoopbackSocket.h"
#include "TestFailure.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

// The length of the first whole BER element in `bytes` (tag, length, contents), or 0 while it
// is incomplete; -1 when the length cannot be read.
long elementSize(const std::string& bytes)
{
    if (bytes.size() < 2) {
        return 0;
    }
    const auto first = static_cast<unsigned char>(bytes[1]);
    std::size_t header = 2;
    std::size_t length = first;
    if (first & 0x80) {
        const std::size_t count = first & 0x7f;
        if (count == 0 || count > 4) {
            return -1;
        }
        if (bytes.size() < 2 + count) {
            return 0;
        }
        length = 0;
        for (std::size_t i = 0; i < count; ++i) {
            length = length << 8 | static_cast<unsigned char>(bytes[2 + i]);
        }
        header += count;
    }
    const std::size_t total = header + length;
    return bytes.size() < total ? 0 : static_cast<long>(total);
}

// The success reply to a bind request message, or "" for any other message. An LDAP message
// is SEQUENCE { messageID INTEGER, protocolOp }; a bind request is [APPLICATION 0].
std::string bindReply(const std::string& message)
{
    std::size_t at = 1;
    const auto first = static_cast<unsigned char>(message[at]);
    at += (first & 0x80) ? 1 + (first & 0x7f) : 1;
    if (at + 2 > message.size() || message[at] != 0x02) {
        return {};
    }
    const std::size_t idLength = static_cast<unsigned char>(message[at + 1]);
    if (idLength == 0 || idLength > 4 || at + 2 + idLength >= message.size()) {
        return {};
    }
    const std::string id = message.substr(at, 2 + idLength);
    if (static_cast<unsigned char>(message[at + 2 + idLength]) != 0x60) {
        return {};
    }
    // BindResponse [APPLICATION 1] { resultCode success, matchedDN "", diagnosticMessage "" }.
    const std::string response("\x61\x07\x0a\x01\x00\x04\x00\x04\x00", 9);
    return std::string(1, '\x30') + static_cast<char>(id.size() + response.size()) + id + response;
}

} // namespace

SilentLdapServer::SilentLdapServer(bool answerBinds)
    : m_answerBinds(answerBinds)
{
    m_listener = listenOnLoopback(8, m_port);
    if (m_listener < 0 || ::pipe(m_wake) != 0) {
        testFailure(std::string("cannot listen on 127.0.0.1: ") + std::strerror(errno));
        m_port = 0;
        return;
    }
    m_thread = std::thread(&SilentLdapServer::serve, this);
}

SilentLdapServer::~SilentLdapServer()
{
    if (m_thread.joinable()) {
        (void)!::write(m_wake[1], "x", 1);
        m_thread.join();
    }
    for (const int handle : {m_listener, m_wake[0], m_wake[1]}) {
        if (handle >= 0) {
            ::close(handle);
        }
    }
}

void SilentLdapServer::serve()
{
    std::map<int, std::string> clients; // socket → bytes received and not yet taken
    for (;;) {
        std::vector<pollfd> polled {{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
        for (const auto& client : clients) {
            polled.push_back({client.first, POLLIN, 0});
        }
        if (::poll(polled.data(), polled.size(), -1) < 0 && errno != EINTR) {
            break;
        }
        if (polled[0].revents) {
            break;
        }
        if (polled[1].revents & POLLIN) {
            const int client = ::accept(m_listener, nullptr, nullptr);
            if (client >= 0) {
                clients[client];
                ++m_accepted;
            }
        }
        for (std::size_t i = 2; i < polled.size(); ++i) {
            if (!polled[i].revents) {
                continue;
            }
            const int handle = polled[i].fd;
            char buffer[4096];
            const ssize_t got = ::read(handle, buffer, sizeof buffer);
            if (got <= 0) {
                ::close(handle);
                clients.erase(handle);
                continue;
            }
            std::string& pending = clients[handle];
            pending.append(buffer, static_cast<std::size_t>(got));
            for (long size = elementSize(pending); size > 0; size = elementSize(pending)) {
                const std::string reply = m_answerBinds
                    ? bindReply(pending.substr(0, static_cast<std::size_t>(size)))
                    : std::string();
                if (!reply.empty()) {
                    (void)!::write(handle, reply.data(), reply.size());
                }
                pending.erase(0, static_cast<std::size_t>(size));
            }
        }
    }
    for (const auto& client : clients) {
        ::close(client.first);
    }
}
