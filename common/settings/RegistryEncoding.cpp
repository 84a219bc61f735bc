#include "settings/RegistryEncoding.h"

#include <cstdint>

namespace {

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xc0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3f)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xe0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3f)));
    } else {
        out.push_back(static_cast<char>(0xf0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3f)));
    }
}

// UTF-16 (after its byte-order mark) as UTF-8.
bool fromUtf16(std::string_view bytes, bool littleEndian, std::string& text, std::string& error)
{
    if (bytes.size() % 2 != 0) {
        error = "ends in half a UTF-16 character (the file was cut)";
        return false;
    }
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return littleEndian ? static_cast<std::uint32_t>(a | (b << 8))
                            : static_cast<std::uint32_t>((a << 8) | b);
    };
    text.clear();
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t code = unit(i);
        if (code >= 0xd800 && code <= 0xdbff && i + 2 < bytes.size() && unit(i + 2) >= 0xdc00
            && unit(i + 2) <= 0xdfff) {
            code = 0x10000 + ((code - 0xd800) << 10) + (unit(i + 2) - 0xdc00);
            i += 2;
        } else if (code >= 0xd800 && code <= 0xdfff) {
            error = "holds a broken UTF-16 character at byte " + std::to_string(i + 2);
            return false;
        }
        appendUtf8(text, code);
    }
    return true;
}

} // namespace

bool RegistryEncoding::decode(std::string_view bytes, std::string& text, std::string& error)
{
    const auto startsWith = [&](std::string_view mark) {
        return bytes.size() >= mark.size() && bytes.substr(0, mark.size()) == mark;
    };
    if (startsWith("\xff\xfe") || startsWith("\xfe\xff")) {
        if (!fromUtf16(bytes.substr(2), bytes[0] == '\xff', text, error)) {
            return false;
        }
    } else {
        text.assign(startsWith("\xef\xbb\xbf") ? bytes.substr(3) : bytes);
    }
    return true;
}
