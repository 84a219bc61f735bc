#pragma once

#include <string>
#include <string_view>
#include <vector>

// A strict check of a vCard 4.0 file as RFC 6350 lays it down, independent of the code under
// test: CR LF line ends, lines of at most 75 octets, folding with one blank, valid UTF-8,
// BEGIN/VERSION first, END last, well-formed content lines, FN and UID present, text values
// (FN, TEL with VALUE=text) without unescaped commas or semicolons, N with five components.
// Gives the problems found (empty when the file is valid).
inline std::vector<std::string> checkVCard4(std::string_view text)
{
    std::vector<std::string> problems;
    std::vector<std::string> physical;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            problems.push_back("the text does not end in CR LF");
            break;
        }
        const std::string line(text.substr(start, end - start));
        if (line.find_first_of("\r\n") != std::string::npos) {
            problems.push_back("a bare CR or LF in: " + line);
        }
        if (line.size() > 75) {
            problems.push_back("a line longer than 75 octets: " + line);
        }
        physical.push_back(line);
        start = end + 2;
    }
    // UTF-8: every lead byte has its continuation bytes.
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = byte < 0x80 ? 1
            : (byte >> 5) == 6                 ? 2
            : (byte >> 4) == 14                ? 3
            : (byte >> 3) == 30                ? 4
                                               : 0;
        bool ok = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; ok && k < length; ++k) {
            ok = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        }
        if (!ok) {
            problems.push_back("invalid UTF-8 at byte " + std::to_string(i));
            break;
        }
        i += length;
    }
    std::vector<std::string> logical;
    for (const std::string& line : physical) {
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
            if (logical.empty()) {
                problems.push_back("a continuation line first");
            } else {
                logical.back() += line.substr(1);
            }
        } else {
            logical.push_back(line);
        }
    }
    if (logical.size() < 4 || logical.front() != "BEGIN:VCARD" || logical[1] != "VERSION:4.0"
        || logical.back() != "END:VCARD") {
        problems.push_back("BEGIN:VCARD, VERSION:4.0 ... END:VCARD expected");
        return problems;
    }
    const auto hasUnescaped = [](std::string_view value, std::string_view characters) {
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\\') {
                ++i;
            } else if (characters.find(value[i]) != std::string_view::npos) {
                return true;
            }
        }
        return false;
    };
    int fn = 0, uid = 0;
    for (const std::string& line : logical) {
        const std::size_t colon = line.find(':');
        std::string head = line.substr(0, colon);
        if (colon == std::string::npos || colon == 0) {
            problems.push_back("not a content line: " + line);
            continue;
        }
        const std::string name = head.substr(0, head.find(';'));
        if (name.find_first_not_of(
                "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-.")
            != std::string::npos) {
            problems.push_back("a bad property name: " + name);
        }
        const std::string value = line.substr(colon + 1);
        if (name == "FN") {
            ++fn;
            if (hasUnescaped(value, ",;")) {
                problems.push_back("FN with an unescaped comma or semicolon: " + value);
            }
        } else if (name == "UID") {
            ++uid;
        } else if (name == "N") {
            int separators = 0;
            for (std::size_t i = 0; i < value.size(); ++i) {
                if (value[i] == '\\') {
                    ++i;
                } else if (value[i] == ';') {
                    ++separators;
                }
            }
            if (separators != 4) {
                problems.push_back("N without five components: " + value);
            }
        } else if (name == "TEL" && head.find("VALUE=text") != std::string::npos
                   && hasUnescaped(value, ",;")) {
            problems.push_back("a text TEL with an unescaped comma or semicolon: " + value);
        }
    }
    if (fn < 1 || uid != 1) {
        problems.push_back("FN and one UID expected");
    }
    return problems;
}
