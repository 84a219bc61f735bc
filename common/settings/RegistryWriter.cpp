#include "settings/RegistryWriter.h"

#include "settings/RegistryLineReader.h"
#include "settings/RegistryText.h"

#include <algorithm>
#include <cstdio>

namespace {

void appendLine(std::string& out, std::string_view line)
{
    out += line;
    out += "\r\n";
    // A blank line keeps a kept line that ends in "\" from being joined with the next.
    if (RegistryLineReader::joinsNext(line)) {
        out += "\r\n";
    }
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

void appendSection(std::string& out, const RegistryKeyData& key, bool withStrayLines)
{
    out += "\r\n[";
    out += key.name;
    out += "]\r\n";
    for (const RegistryEntry& entry : key.entries) {
        if (entry.isRaw) {
            appendLine(out, entry.rawLine);
        } else {
            out += RegistryWriter::formatValue(entry.value);
            out += "\r\n";
        }
    }
    if (withStrayLines) {
        for (const std::string& line : key.strayLines) {
            appendLine(out, line);
        }
    }
}

} // namespace

std::string RegistryWriter::formatValue(const SettingsValue& value)
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

std::string RegistryWriter::format(const RegistryDocument& document)
{
    std::string out(RegistryText::header);
    out += "\r\n";
    for (const std::string& line : document.leadingLines) {
        appendLine(out, line);
    }
    for (const auto& [name, key] : document.keys) {
        appendSection(out, key, true);
    }
    return out;
}

std::string RegistryWriter::format(const RegistryDocument& document, std::string_view key)
{
    std::string out(RegistryText::header);
    out += "\r\n";
    for (const auto& [name, data] : document.keys) {
        if (RegistryText::isWithin(name, key)) {
            appendSection(out, data, false);
        }
    }
    return out;
}
