#pragma once

#include <optional>
#include <string>
#include <string_view>

// A plain SNPP client of the tests: a blocking TCP connection to 127.0.0.1 that sends raw
// bytes and reads reply lines with a waiting time.
class GatewayClient
{
public:
    // Connects to 127.0.0.1 at the port; connected() tells whether it worked.
    explicit GatewayClient(int port);
    // Closes the connection.
    ~GatewayClient();
    GatewayClient(const GatewayClient&) = delete;
    GatewayClient& operator=(const GatewayClient&) = delete;

    // Whether the connection stands.
    bool connected() const { return m_handle >= 0; }
    // Sends the bytes as they are; false when they could not all be sent.
    bool send(std::string_view bytes);
    // The next line up to its line feed (without it), waiting up to timeoutMs for it; none
    // when the wait runs out or the connection ends first.
    std::optional<std::string> readLine(int timeoutMs = 5000);
    // Sends the line with CR LF and reads one reply line.
    std::optional<std::string> ask(std::string_view line, int timeoutMs = 5000);
    // Waits up to timeoutMs for the server to close the connection; true when it did. Data
    // that arrives meanwhile is kept for readLine().
    bool waitForClose(int timeoutMs = 5000);
    // Ends the sending half: the server reads the end of the stream, replies can still come.
    void shutdownWrite();
    // Closes the connection now (abortive with `reset`: the peer sees a reset).
    void close(bool reset = false);

private:
    bool fill(int timeoutMs);

    int m_handle = -1;
    std::string m_buffer;
    bool m_closedByPeer = false;
};

// Connects to 127.0.0.1 at the port, retrying for up to timeoutMs while it is refused.
bool waitForListener(int port, int timeoutMs = 5000);
