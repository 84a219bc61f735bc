#include "GatewayClient.h"

#include "LoopbackSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

GatewayClient::GatewayClient(int port)
    : m_handle(connectToLoopback(port))
{ }

GatewayClient::~GatewayClient()
{
    close();
}

bool GatewayClient::send(std::string_view bytes)
{
    if (m_handle < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent
            = ::send(m_handle, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
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

bool GatewayClient::fill(int timeoutMs)
{
    if (m_handle < 0 || m_closedByPeer) {
        return false;
    }
    pollfd entry {m_handle, POLLIN, 0};
    if (::poll(&entry, 1, timeoutMs) <= 0) {
        return false;
    }
    char chunk[4096];
    const ssize_t received = ::recv(m_handle, chunk, sizeof chunk, 0);
    if (received <= 0) {
        m_closedByPeer = true;
        return false;
    }
    m_buffer.append(chunk, static_cast<std::size_t>(received));
    return true;
}

std::optional<std::string> GatewayClient::readLine(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t end = m_buffer.find('\n');
        if (end != std::string::npos) {
            std::string line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !fill(static_cast<int>(left.count()))) {
            return std::nullopt;
        }
    }
}

std::optional<std::string> GatewayClient::ask(std::string_view line, int timeoutMs)
{
    if (!send(std::string(line) + "\r\n")) {
        return std::nullopt;
    }
    return readLine(timeoutMs);
}

bool GatewayClient::waitForClose(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!m_closedByPeer) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        (void)fill(static_cast<int>(left.count()));
    }
    return true;
}

void GatewayClient::shutdownWrite()
{
    if (m_handle >= 0) {
        ::shutdown(m_handle, SHUT_WR);
    }
}

void GatewayClient::close(bool reset)
{
    if (m_handle < 0) {
        return;
    }
    if (reset) {
        const linger abortive {1, 0};
        ::setsockopt(m_handle, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    }
    ::close(m_handle);
    m_handle = -1;
}

bool waitForListener(int port, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const int handle = connectToLoopback(port);
        if (handle >= 0) {
            ::close(handle);
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
