#include "plugin/ClassId.h"

#include <cctype>

std::string ClassId::normalize(std::string_view text)
{
    if (text.size() >= 2 && text.front() == '{' && text.back() == '}') {
        text = text.substr(1, text.size() - 2);
    }
    constexpr std::string_view shape = "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx";
    if (text.size() != shape.size()) {
        return {};
    }
    std::string out = "{";
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (shape[i] == '-' ? c != '-' : !std::isxdigit(c)) {
            return {};
        }
        out += static_cast<char>(std::toupper(c));
    }
    out += '}';
    return out;
}

bool ClassId::equal(std::string_view a, std::string_view b)
{
    const std::string left = normalize(a);
    return !left.empty() && left == normalize(b);
}
