#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A port given as text: the decimal number that an atoi-style reading finds at its start when
// that is not 0, otherwise the name of a service in the services database.
class ServicePort
{
public:
    // Resolves the text; `protocol` "tcp" accepts only TCP services, nullptr any protocol. True
    // with the port in network byte order; false with a text that says why (a number outside
    // 1 to 65535, or a name no such service has).
    [[nodiscard]] static bool resolve(std::string_view text, const char* protocol,
                                      std::uint16_t& port, std::string& why);

    // The number an atoi-style reading finds at the start of the text (blanks, a sign, digits);
    // 0 when there is none. Values far outside the port range are clamped, never overflow.
    static long readNumber(std::string_view text);
};
