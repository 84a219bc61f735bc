#pragma once

#include "settings/RegistryDocument.h"

#include <string>
#include <string_view>

// Writes registry texts (see RegistryText): 8-bit, CR LF line ends, the header first. Lines
// kept as they were read are written back as they were.
class RegistryWriter
{
public:
    // The text of the whole document (header, lines before the first key, one section per key).
    static std::string format(const RegistryDocument& document);
    // The text of the key and its subkeys only.
    static std::string format(const RegistryDocument& document, std::string_view key);
    // One value's line, e.g. "\"logLevel\"=dword:00000004".
    static std::string formatValue(const SettingsValue& value);
};
