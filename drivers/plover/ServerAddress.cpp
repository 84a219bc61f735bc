#include "plover/ServerAddress.h"

ServerAddress ServerAddress::parse(std::string_view text)
{
    ServerAddress address;
    std::size_t at = text.find_first_not_of(':');
    if (at == std::string_view::npos) {
        return address;
    }
    const std::size_t hostEnd = text.find(':', at);
    address.m_host = std::string(text.substr(at, hostEnd - at));
    if (hostEnd == std::string_view::npos) {
        return address;
    }
    at = text.find_first_not_of(": ", hostEnd);
    if (at == std::string_view::npos) {
        return address;
    }
    const std::size_t portEnd = text.find_first_of(": ", at);
    address.m_port = std::string(text.substr(at, portEnd - at));
    return address;
}

std::string ServerAddress::portOr(int defaultPort) const
{
    return m_port.empty() ? std::to_string(defaultPort) : m_port;
}
