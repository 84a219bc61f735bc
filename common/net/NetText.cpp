#include "net/NetText.h"

#include <cstdio>
#include <cstring>

std::string systemErrorText(int error)
{
    char buffer[256] = {};
    // The GNU strerror_r may return a static text instead of filling the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return text != nullptr ? text : "unknown error";
}

std::string dottedAddress(const in_addr& address)
{
    unsigned char bytes[4] = {};
    static_assert(sizeof bytes == sizeof address.s_addr);
    std::memcpy(bytes, &address.s_addr, sizeof bytes);
    char text[16] = {};
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}
