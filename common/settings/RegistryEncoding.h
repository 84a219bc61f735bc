#pragma once

#include <string>
#include <string_view>

// The encodings a registry text file comes in: 8-bit (with or without a UTF-8 byte-order
// mark) and UTF-16 with a byte-order mark, what a registry editor exports.
class RegistryEncoding
{
public:
    // Turns a file's bytes into 8-bit text: UTF-16 with a byte-order mark becomes UTF-8, a
    // UTF-8 byte-order mark is dropped. False, with `error` saying why, when the UTF-16 is
    // broken.
    [[nodiscard]] static bool decode(std::string_view bytes, std::string& text, std::string& error);
};
