#pragma once

#include "settings/SettingsStore.h"

#include <string>
#include <string_view>

// The two kinds of line that carry content in a registry text, each read from its text
// without the blanks around it. A line that does not read gives `why` for the message.
class RegistryLineSyntax
{
public:
    // A section line, [key] or [-key] (`deletion`): the key's canonical name.
    [[nodiscard]] static bool readSection(std::string_view body, std::string& name, bool& deletion,
                                          std::string& why);
    // A value line, "name"=data or @=data, with data "text", dword:, hex:, hex(1): or "-"
    // (`deletion`).
    [[nodiscard]] static bool readValue(std::string_view body, SettingsValue& value, bool& deletion,
                                        std::string& why);
};
