#include "stores/TextLines.h"

std::vector<std::string_view> TextLines::split(std::string_view bytes, std::size_t limit)
{
    std::vector<std::string_view> lines;
    while (!bytes.empty() && lines.size() < limit) {
        const std::size_t end = bytes.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            lines.push_back(bytes);
            break;
        }
        lines.push_back(bytes.substr(0, end));
        const bool crLf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
        bytes.remove_prefix(end + (crLf ? 2 : 1));
    }
    return lines;
}

bool TextLines::endsWithLineEnd(std::string_view bytes)
{
    return bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r';
}
