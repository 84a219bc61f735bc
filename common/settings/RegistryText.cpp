#include "RegistryText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

constexpr std::string_view header = "Windows Registry Editor Version 5.00";

// Key and value names compare without regard to ASCII case. Inline rather than std::tolower,
// whose call per character dominated every settings look-up.
char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

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
    c = lower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Comma-separated two-digit hex bytes ("01,ff,2a"); an empty list is valid.
bool readHexBytes(std::string_view text, std::string& out)
{
    out.clear();
    text = trim(text);
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = trim(text.substr(0, comma));
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
        if (trim(text).empty()) {
            return false; // a trailing comma: the data was cut
        }
    }
    return true;
}

// The data part of a value line (after "="); sets the value's type and data.
bool readData(std::string_view text, RegistryEntry& entry, std::string& why)
{
    text = trim(text);
    SettingsValue& value = entry.value;
    if (text == "-") {
        entry.deleted = true;
        return true;
    }
    if (!text.empty() && text.front() == '"') {
        value.type = ValueType::String;
        if (!readQuoted(text, value.data) || !trim(text).empty()) {
            why = "unterminated or malformed string";
            return false;
        }
        return true;
    }
    const auto startsWith = [&](std::string_view prefix) {
        return text.size() >= prefix.size()
            && RegistryText::sameName(text.substr(0, prefix.size()), prefix);
    };
    if (startsWith("dword:")) {
        const std::string_view digits = trim(text.substr(6));
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
            why = "a string cannot hold a zero byte";
            return false;
        }
        return true;
    }
    why = "unknown value type (expected \"text\", dword:, hex: or hex(1):)";
    return false;
}

void appendQuoted(std::string& out, std::string_view text)
{
    out.push_back('"');
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

void appendHex(std::string& out, std::string_view bytes, bool withTerminator)
{
    char digits[4];
    bool first = true;
    auto add = [&](unsigned char byte) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        if (!first) {
            out.push_back(',');
        }
        out += digits;
        first = false;
    };
    for (char c : bytes) {
        add(static_cast<unsigned char>(c));
    }
    if (withTerminator) {
        add(0);
    }
}

// A string that a text line cannot carry as it is (line breaks and other control bytes).
bool needsHexForm(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && byte != '\t') || byte == 0x7f;
    });
}

void appendSection(std::string& out, const RegistryKeyData& key)
{
    out += "\r\n[";
    out += key.name;
    out += "]\r\n";
    for (const RegistryEntry& entry : key.entries) {
        out += entry.isRaw ? entry.rawLine : RegistryText::formatValue(entry.value);
        out += "\r\n";
    }
}

bool isWithin(std::string_view name, std::string_view key)
{
    if (name.size() < key.size() || !RegistryText::sameName(name.substr(0, key.size()), key)) {
        return false;
    }
    return name.size() == key.size() || name[key.size()] == '\\';
}

} // namespace

RegistryEntry* RegistryKeyData::findValue(std::string_view valueName)
{
    for (RegistryEntry& entry : entries) {
        if (!entry.isRaw && RegistryText::sameName(entry.value.name, valueName)) {
            return &entry;
        }
    }
    return nullptr;
}

bool RegistryKeyLess::operator()(std::string_view a, std::string_view b) const
{
    // Part by part, so "A\B" sorts right after "A" and before "A B".
    for (std::size_t i = 0;; ++i) {
        const bool aEnd = i == a.size();
        const bool bEnd = i == b.size();
        if (aEnd || bEnd) {
            return aEnd && !bEnd;
        }
        const char ca = a[i] == '\\' ? '\0' : lower(a[i]);
        const char cb = b[i] == '\\' ? '\0' : lower(b[i]);
        if (ca != cb) {
            return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
        }
    }
}

bool RegistryText::sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lower(x) == lower(y);
           });
}

bool RegistryText::parse(std::string_view text, RegistryDocument& document, bool strict,
                         std::string& error)
{
    RegistryKeyData* current = nullptr;
    int lineNumber = 0;
    std::string logical;
    int logicalStart = 0;
    std::size_t position = 0;

    const auto fail = [&](int line, const std::string& why) {
        error = "line " + std::to_string(line) + ": " + why;
        return false;
    };

    while (position < text.size()) {
        std::size_t end = text.find('\n', position);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view physical = text.substr(position, end - position);
        position = end + 1;
        ++lineNumber;
        if (!physical.empty() && physical.back() == '\r') {
            physical.remove_suffix(1);
        }
        if (logical.empty()) {
            logicalStart = lineNumber;
        }
        // Long hex values continue over lines that end in a backslash.
        const std::string_view trimmed = trim(physical);
        if (!trimmed.empty() && trimmed.back() == '\\' && trimmed.front() != '[') {
            logical += logical.empty() ? physical.substr(0, physical.rfind('\\'))
                                       : trim(trimmed.substr(0, trimmed.size() - 1));
            continue;
        }
        logical += logical.empty() ? physical : trimmed;
        const std::string line = std::move(logical);
        logical.clear();
        const std::string_view body = trim(line);

        if (body.empty()) {
            continue;
        }
        if (body == header || body == "REGEDIT4") {
            continue;
        }
        if (body.front() == '[') {
            if (body.back() != ']' || body.size() < 3) {
                return fail(logicalStart, "a section line must read [key name]");
            }
            std::string_view name = body.substr(1, body.size() - 2);
            const bool deletion = name.front() == '-';
            if (deletion) {
                name.remove_prefix(1);
            }
            const std::string normalized = SettingsStore::normalizeKeyName(name);
            if (normalized.empty()) {
                return fail(logicalStart,
                            "the key name \"" + std::string(name)
                                + "\" does not start with a known root");
            }
            auto found = document.keys.find(normalized);
            if (found == document.keys.end()) {
                found = document.keys.emplace(normalized, RegistryKeyData {normalized, {}, false})
                            .first;
            }
            found->second.deleted = deletion;
            current = &found->second;
            continue;
        }
        if (body.front() == ';') {
            if (current != nullptr) {
                current->entries.push_back(RegistryEntry {{}, std::string(body), true, false});
            }
            continue;
        }

        RegistryEntry entry;
        std::string why;
        std::string_view rest = body;
        bool ok = true;
        if (rest.front() == '@') {
            rest.remove_prefix(1);
        } else if (!readQuoted(rest, entry.value.name)) {
            ok = false;
            why = "expected \"name\"=data, @=data, a [key] or a ; comment";
        }
        if (ok) {
            rest = trim(rest);
            if (rest.empty() || rest.front() != '=') {
                ok = false;
                why = "expected = after the value name";
            } else {
                ok = readData(rest.substr(1), entry, why);
            }
        }
        if (ok && current == nullptr) {
            ok = false;
            why = "a value before the first [key] section";
        }
        if (!ok) {
            if (strict) {
                return fail(logicalStart, why);
            }
            if (current != nullptr) {
                current->entries.push_back(RegistryEntry {{}, std::string(body), true, false});
            }
            continue;
        }
        if (current->deleted) {
            return fail(logicalStart, "a value inside a deleted key [-...]");
        }
        if (RegistryEntry* existing = current->findValue(entry.value.name)) {
            *existing = std::move(entry);
        } else {
            current->entries.push_back(std::move(entry));
        }
    }
    if (!logical.empty() && strict) {
        return fail(logicalStart, "the last line ends in a continuation backslash");
    }
    return true;
}

std::string RegistryText::formatValue(const SettingsValue& value)
{
    std::string line;
    if (value.name.empty()) {
        line = "@";
    } else {
        appendQuoted(line, value.name);
    }
    line.push_back('=');
    switch (value.type) {
    case ValueType::String:
        if (needsHexForm(value.data)) {
            line += "hex(1):";
            appendHex(line, value.data, true);
        } else {
            appendQuoted(line, value.data);
        }
        break;
    case ValueType::Number: {
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", value.number());
        line += digits;
        break;
    }
    case ValueType::Binary:
        line += "hex:";
        appendHex(line, value.data, false);
        break;
    }
    return line;
}

std::string RegistryText::format(const RegistryDocument& document)
{
    std::string out(header);
    out += "\r\n";
    for (const auto& [name, key] : document.keys) {
        appendSection(out, key);
    }
    return out;
}

std::string RegistryText::format(const RegistryDocument& document, std::string_view key)
{
    std::string out(header);
    out += "\r\n";
    for (const auto& [name, data] : document.keys) {
        if (isWithin(name, key)) {
            appendSection(out, data);
        }
    }
    return out;
}

void RegistryText::apply(const RegistryDocument& changes, RegistryDocument& document)
{
    for (const auto& [name, change] : changes.keys) {
        if (change.deleted) {
            std::erase_if(document.keys, [&removed = name](const auto& item) {
                return isWithin(item.first, removed);
            });
            continue;
        }
        auto target = document.keys.find(name);
        if (target == document.keys.end()) {
            target = document.keys.emplace(name, RegistryKeyData {name, {}, false}).first;
        }
        for (const RegistryEntry& entry : change.entries) {
            if (entry.isRaw) {
                target->second.entries.push_back(entry);
                continue;
            }
            RegistryEntry* existing = target->second.findValue(entry.value.name);
            if (entry.deleted) {
                if (existing != nullptr) {
                    std::erase_if(target->second.entries,
                                  [&](const RegistryEntry& e) { return &e == existing; });
                }
            } else if (existing != nullptr) {
                existing->value = entry.value;
            } else {
                target->second.entries.push_back(entry);
            }
        }
    }
}
