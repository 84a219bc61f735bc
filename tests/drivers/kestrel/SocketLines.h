#pragma once

#include "kestrel/LineSource.h"
#include "telephony/PortLink.h"

#include <memory>
#include <mutex>
#include <sys/socket.h>
#include <unistd.h>

// A line whose call is one end of a socket pair: dialling connects at once (the other end is
// the test's, typically a TAP terminal simulator), the link is a real PortLink, and hanging
// up interrupts it and closes the socket.
class SocketLine final : public LineDevice
{
public:
    SocketLine(int fd, LogFile& log, std::string_view tag)
        : m_fd(fd)
        , m_link(std::make_unique<PortLink>(fd, log, tag))
    { }
    ~SocketLine() override { hangUp(); }

    bool dial(const std::string&, CallObserver& observer) override
    {
        observer.callEvent(CallEvent::Connected, 0);
        return true;
    }
    ByteLink* link() override { return m_link.get(); }
    void configurePort() override { }
    void restorePort() override { }
    void hangUp() override
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        if (m_fd >= 0) {
            m_link->interrupt();
            ::close(m_fd);
            m_fd = -1;
        }
    }
    int lastError() const override { return 0; }

private:
    std::mutex m_mutex;
    int m_fd;
    std::unique_ptr<PortLink> m_link;
};

// Hands out one socket line, whose other end the test serves.
class SocketLineSource final : public LineSource
{
public:
    SocketLineSource()
    {
        int pair[2] = {-1, -1};
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0) {
            m_lineFd = pair[0];
            m_remoteFd = pair[1];
        }
    }
    ~SocketLineSource() override
    {
        if (m_lineFd >= 0) {
            ::close(m_lineFd);
        }
        if (m_remoteFd >= 0) {
            ::close(m_remoteFd);
        }
    }

    // The end the test serves; stays open until the source goes.
    int remoteFd() const { return m_remoteFd; }

    std::unique_ptr<LineDevice> open(std::uint32_t, LogFile& log, std::string_view tag) override
    {
        if (m_lineFd < 0) {
            return nullptr;
        }
        auto line = std::make_unique<SocketLine>(m_lineFd, log, tag);
        m_lineFd = -1;
        return line;
    }
    std::string translate(const std::string& number) const override { return number; }
    int lastError() const override { return m_lineFd < 0 ? 7 : 0; }

private:
    int m_lineFd = -1;
    int m_remoteFd = -1;
};
