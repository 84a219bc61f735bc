#include "net/ServicePort.h"

#include "net/SystemCalls.h"
#include "text/TextNumber.h"

#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <vector>

namespace {

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
    return TextNumber::leading(text);
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
