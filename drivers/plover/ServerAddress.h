#pragma once

#include <string>
#include <string_view>

// An SNPP server address as the user gives it: a host name or dotted IPv4 address, optionally
// followed by ":" and a port (a decimal number or a service name).
class ServerAddress
{
public:
    // Splits the text: the host runs up to the first ":" (leading ":" are skipped, so runs of
    // ":" count as one); the port is the text after it up to the next blank or ":" (leading
    // blanks and ":" skipped). Either may come out empty.
    static ServerAddress parse(std::string_view text);

    // The host part; empty when the address names none.
    const std::string& host() const { return m_host; }
    // The port text the address gives; empty when it gives none.
    const std::string& port() const { return m_port; }
    // Whether the address names a host at all.
    bool hasHost() const { return !m_host.empty(); }
    // The port text to connect to: the address's own, else `defaultPort` in decimal.
    std::string portOr(int defaultPort) const;

private:
    std::string m_host;
    std::string m_port;
};
