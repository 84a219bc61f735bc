#include "EngineHarness.h"

#include <arpa/inet.h>
#include <cstdint>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Enough for any scripted exchange; a runaway engine fails the test instead of hanging it.
constexpr int maxSteps = 10000;

int connectLoopback(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

StreamPair makePair(Transport transport)
{
    return transport == Transport::PseudoTerminal ? StreamPair::pseudoTerminal()
                                                  : StreamPair::sockets();
}

} // namespace

std::string transportName(Transport transport)
{
    switch (transport) {
    case Transport::SocketPair:
        return "SocketPair";
    case Transport::PseudoTerminal:
        return "PseudoTerminal";
    case Transport::Tcp:
        return "Tcp";
    }
    return "Unknown";
}

TapSettings fastSettings()
{
    TapSettings settings;
    settings.maxSendPacket = 3;
    settings.readTimeoutSeconds = 1;
    settings.promptTimeoutSeconds = 1;
    settings.transChars = true;
    settings.goAheadDelayMs = 0;
    return settings;
}

EngineHarness::EngineHarness(const TapTerminalScript& script, const TapSettings& settings,
                             Transport transport)
    : m_pair(makePair(transport))
    , m_terminal(script)
{
    int engineFd = -1;
    if (transport == Transport::Tcp) {
        if (m_terminal.listen()) {
            m_tcpFd = connectLoopback(m_terminal.port());
            engineFd = m_tcpFd;
        }
    } else if (m_pair.valid() && m_terminal.serve(m_pair.remote())) {
        engineFd = m_pair.local();
    }
    m_link = std::make_unique<PortLink>(engineFd, m_reporter.log(), m_reporter.tag());
    m_engine = std::make_unique<TapEngine>(*m_link, m_messages, m_reporter, settings);
    m_ready = engineFd >= 0;
}

EngineHarness::~EngineHarness()
{
    m_terminal.stop();
    m_engine.reset();
    m_link.reset();
    if (m_tcpFd >= 0) {
        ::close(m_tcpFd);
    }
}

void EngineHarness::add(std::string_view recipient, std::string_view text)
{
    (void)m_messages.add(recipient, text);
}

bool EngineHarness::run(int endWaitMs)
{
    m_engine->start();
    m_steps = 0;
    while (m_steps < maxSteps && m_engine->step()) {
        ++m_steps;
    }
    if (endWaitMs > 0) {
        (void)m_terminal.waitForEnd(endWaitMs);
    }
    m_terminal.stop();
    return m_steps < maxSteps;
}
