#include "settings/RegistryLineSyntax.h"

#include "settings/RegistryText.h"

#include <cstdint>

namespace {

// A quoted string with \\ and \" escapes at the start of `text`; consumes it.
bool readQuoted(std::string_view& text, std::string& out)
{
    if (text.empty() || text.front() != '"') {
        return false;
    }
    out.clear();
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            out.push_back(text[++i]);
        } else if (c == '"') {
            text.remove_prefix(i + 1);
            return true;
        } else {
            out.push_back(c);
        }
    }
    return false;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = RegistryText::lower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Comma-separated two-digit hex bytes ("01,ff,2a"); an empty list is valid.
bool readHexBytes(std::string_view text, std::string& out)
{
    out.clear();
    text = RegistryText::trim(text);
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = RegistryText::trim(text.substr(0, comma));
        if (item.empty() || item.size() > 2) {
            return false;
        }
        int byte = 0;
        for (char c : item) {
            const int digit = hexDigit(c);
            if (digit < 0) {
                return false;
            }
            byte = byte * 16 + digit;
        }
        out.push_back(static_cast<char>(byte));
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
        if (RegistryText::trim(text).empty()) {
            return false; // a trailing comma: the data was cut
        }
    }
    return true;
}

constexpr std::string_view zeroInString = "a string cannot hold a zero byte";

// The data part of a value line (after "="); sets the value's type and data, or `deletion`
// for "-".
bool readData(std::string_view text, SettingsValue& value, bool& deletion, std::string& why)
{
    text = RegistryText::trim(text);
    deletion = false;
    if (text == "-") {
        deletion = true;
        return true;
    }
    if (!text.empty() && text.front() == '"') {
        value.type = ValueType::String;
        if (!readQuoted(text, value.data) || !RegistryText::trim(text).empty()) {
            why = "unterminated or malformed string";
            return false;
        }
        if (value.data.find('\0') != std::string::npos) {
            why = zeroInString;
            return false;
        }
        return true;
    }
    const auto startsWith = [&](std::string_view prefix) {
        return text.size() >= prefix.size()
            && RegistryText::sameName(text.substr(0, prefix.size()), prefix);
    };
    if (startsWith("dword:")) {
        const std::string_view digits = RegistryText::trim(text.substr(6));
        if (digits.empty() || digits.size() > 8) {
            why = "a dword needs 1 to 8 hexadecimal digits";
            return false;
        }
        std::uint32_t number = 0;
        for (char c : digits) {
            const int digit = hexDigit(c);
            if (digit < 0) {
                why = "a dword needs 1 to 8 hexadecimal digits";
                return false;
            }
            number = number * 16 + static_cast<std::uint32_t>(digit);
        }
        value = SettingsValue::makeNumber(value.name, number);
        return true;
    }
    if (startsWith("hex:")) {
        value.type = ValueType::Binary;
        if (!readHexBytes(text.substr(4), value.data)) {
            why = "malformed hex bytes";
            return false;
        }
        return true;
    }
    if (startsWith("hex(1):")) {
        value.type = ValueType::String;
        if (!readHexBytes(text.substr(7), value.data)) {
            why = "malformed hex bytes";
            return false;
        }
        // The stored form ends with the string's terminating zero.
        if (!value.data.empty() && value.data.back() == '\0') {
            value.data.pop_back();
        }
        if (value.data.find('\0') != std::string::npos) {
            why = zeroInString;
            return false;
        }
        return true;
    }
    why = "unknown value type (expected \"text\", dword:, hex: or hex(1):)";
    return false;
}

} // namespace

bool RegistryLineSyntax::readValue(std::string_view body, SettingsValue& value, bool& deletion,
                                   std::string& why)
{
    std::string_view rest = body;
    value = SettingsValue {};
    if (rest.front() == '@') {
        rest.remove_prefix(1);
    } else if (!readQuoted(rest, value.name)) {
        why = "expected \"name\"=data, @=data, a [key] or a ; comment";
        return false;
    }
    if (value.name.find('\0') != std::string::npos) {
        why = "a value name cannot hold a zero byte";
        return false;
    }
    rest = RegistryText::trim(rest);
    if (rest.empty() || rest.front() != '=') {
        why = "expected = after the value name";
        return false;
    }
    return readData(rest.substr(1), value, deletion, why);
}

bool RegistryLineSyntax::readSection(std::string_view body, std::string& name, bool& deletion,
                                     std::string& why)
{
    if (body.back() != ']' || body.size() < 3) {
        why = "a section line must read [key name]";
        return false;
    }
    std::string_view inner = body.substr(1, body.size() - 2);
    deletion = inner.front() == '-';
    if (deletion) {
        inner.remove_prefix(1);
    }
    if (inner.find('\0') != std::string_view::npos) {
        why = "a key name cannot hold a zero byte";
        return false;
    }
    name = SettingsStore::normalizeKeyName(inner);
    if (name.empty()) {
        why = "the key name \"" + std::string(inner) + "\" does not start with a known root";
        return false;
    }
    return true;
}
