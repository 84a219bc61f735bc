#pragma once

#include <string>
#include <string_view>
#include <vector>

// The fake driver's record file: one event a line, fields separated by tabs; a tab, line
// break or backslash inside a field is written as \t, \n, \r or \\.
namespace FakeRecordText {

// The field as it is written.
inline std::string escape(std::string_view field)
{
    std::string out;
    for (const char c : field) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The fields of one written line (without its line end).
inline std::vector<std::string> split(std::string_view line)
{
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

} // namespace FakeRecordText
