#include "text/TextNumber.h"

#include <climits>

long TextNumber::leading(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate as a negative number so LONG_MIN itself is reachable.
    long value = 0;
    bool overflow = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value < (LONG_MIN + digit) / 10) {
            overflow = true;
        } else if (!overflow) {
            value = value * 10 - digit;
        }
    }
    if (overflow) {
        return negative ? LONG_MIN : LONG_MAX;
    }
    if (!negative) {
        return value == LONG_MIN ? LONG_MAX : -value;
    }
    return value;
}

std::int32_t TextNumber::atoi(std::string_view text)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(leading(text)));
}
