#include "frame/FrameText.h"

namespace FrameText {

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values)
{
    std::string text;
    text.reserve(pattern.size() + 16);
    auto next = values.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const bool placeholder = pattern[i] == '%' && i + 1 < pattern.size()
            && (pattern[i + 1] == 'd' || pattern[i + 1] == 's');
        if (placeholder && next != values.end()) {
            text += *next++;
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::string fill(std::string_view pattern, long long number)
{
    return fill(pattern, {std::to_string(number)});
}

std::string fill(std::string_view pattern, long long first, long long second)
{
    return fill(pattern, {std::to_string(first), std::to_string(second)});
}

} // namespace FrameText
