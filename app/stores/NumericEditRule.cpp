#include "stores/NumericEditRule.h"

#include "text/TextNumber.h"

bool NumericEditRule::keyAccepted(char c)
{
    return !(c >= ' ' && c <= '~') || (c >= '0' && c <= '9');
}

long NumericEditRule::valueOf(std::string_view text)
{
    // The full-width reading saturates, so a long run of digits counts as too large rather
    // than wrapping round to some value inside the range.
    return TextNumber::leading(text);
}

bool NumericEditRule::replaces(std::string_view text) const
{
    if (text.empty()) {
        return false;
    }
    const long value = valueOf(text);
    return value < m_minimum || value > m_maximum;
}

std::string NumericEditRule::apply(std::string_view text) const
{
    if (!replaces(text)) {
        return std::string(text);
    }
    return std::to_string(valueOf(text) < m_minimum ? m_minimum : m_maximum);
}
