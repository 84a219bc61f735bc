#include "settings/RegistryText.h"

#include <algorithm>
#include <cstdio>

bool RegistryText::isHeader(std::string_view line)
{
    return line == header || line == "REGEDIT4";
}

bool RegistryText::sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lower(x) == lower(y);
           });
}

bool RegistryText::isWithin(std::string_view name, std::string_view key)
{
    if (name.size() < key.size() || !sameName(name.substr(0, key.size()), key)) {
        return false;
    }
    return name.size() == key.size() || name[key.size()] == '\\';
}

std::string_view RegistryText::trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string RegistryText::nameProblem(std::string_view name)
{
    if (name.find_first_of("\r\n") != std::string_view::npos) {
        return "holds a line break";
    }
    if (name.find('\0') != std::string_view::npos) {
        return "holds a zero byte";
    }
    return {};
}

std::string RegistryText::printable(std::string_view name)
{
    std::string out;
    char code[8];
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\0') {
            out += "\\0";
        } else if (byte < 0x20 || byte == 0x7f) {
            std::snprintf(code, sizeof code, "\\x%02x", byte);
            out += code;
        } else {
            out.push_back(c);
        }
    }
    return out;
}
