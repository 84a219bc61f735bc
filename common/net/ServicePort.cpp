#include "ServicePort.h"

#include "SystemCalls.h"

#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <vector>

namespace {

constexpr long kClamp = 1000000;

bool lookUpService(const std::string& name, const char* protocol, std::uint16_t& port)
{
    SystemCalls& calls = SystemCalls::current();
    // Entries with many aliases need more room than the usual kilobyte; grow until it fits.
    for (std::size_t size = 1024; size <= 64 * 1024; size *= 4) {
        std::vector<char> buffer(size);
        servent entry {};
        servent* found = nullptr;
        const int error
            = calls.getServByName(name.c_str(), protocol, &entry, buffer.data(), size, &found);
        if (error == ERANGE) {
            continue;
        }
        if (error != 0 || found == nullptr) {
            return false;
        }
        port = static_cast<std::uint16_t>(found->s_port);
        return true;
    }
    return false;
}

} // namespace

long ServicePort::readNumber(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    long value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0; ++at) {
        if (value < kClamp) {
            value = value * 10 + (text[at] - '0');
        }
    }
    return negative ? -value : value;
}

bool ServicePort::resolve(std::string_view text, const char* protocol, std::uint16_t& port,
                          std::string& why)
{
    const long number = readNumber(text);
    if (number != 0) {
        // A number the port field cannot hold would otherwise wrap to some unrelated port.
        if (number < 1 || number > 65535) {
            why = "port number " + std::to_string(number) + " (from \"" + std::string(text)
                + "\") is outside 1 to 65535";
            return false;
        }
        port = htons(static_cast<std::uint16_t>(number));
        return true;
    }
    const std::string name(text);
    const std::string kind = protocol != nullptr ? std::string(protocol) + " service" : "service";
    // A name with an embedded zero would be looked up cut short; no service has one.
    if (name.empty() || name.find('\0') != std::string::npos
        || !lookUpService(name, protocol, port)) {
        why = "port name \"" + name + "\" is not a known " + kind;
        return false;
    }
    return true;
}
