#pragma once

#include "SettingsStore.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

// One line of a key's section: a value, or a line kept as it was written (a comment, or a
// line a person typed that is not a value), so that a rewrite never loses it.
struct RegistryEntry
{
    SettingsValue value;
    std::string rawLine; // used when isRaw
    bool isRaw = false;
    bool deleted = false; // an import line "name"=- : remove the value
};

// One key's section.
struct RegistryKeyData
{
    std::string name; // the key's full name as first written
    std::vector<RegistryEntry> entries;
    bool deleted = false; // an import section [-name]: remove the key and its subkeys

    // The value entry of that name (without case), or nullptr.
    RegistryEntry* findValue(std::string_view valueName);
};

// Orders key names part by part without regard to case, so that a key's subkeys follow it.
struct RegistryKeyLess
{
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// A whole registry text: the keys in tree order.
struct RegistryDocument
{
    std::map<std::string, RegistryKeyData, RegistryKeyLess> keys;
};

// Reading and writing the registry export format:
//   Windows Registry Editor Version 5.00
//   [HKEY_CURRENT_USER\SOFTWARE\Tessal\Norvane\NorvaneDesk\Log]
//   "logLevel"=dword:00000004
//   "name"="text with \"quotes\" and \\ backslashes"
//   "block"=hex:01,02,ff
//   "multi"=hex(1):41,0d,0a,42,00      (a narrow string holding control characters)
// Lines may end in CR LF or LF; a line ending in "\" continues on the next one.
class RegistryText
{
public:
    // Parses the text. Strict: any line that is not a header, comment, section, value or
    // deletion is an error naming its line; lenient: such lines are kept as raw entries.
    [[nodiscard]] static bool parse(std::string_view text, RegistryDocument& document, bool strict,
                                    std::string& error);
    // The text of the whole document (header, then one section per key).
    static std::string format(const RegistryDocument& document);
    // The text of the key and its subkeys only.
    static std::string format(const RegistryDocument& document, std::string_view key);
    // One value's line, e.g. "\"logLevel\"=dword:00000004".
    static std::string formatValue(const SettingsValue& value);
    // Applies a parsed import onto the document: deletions remove, values replace or append.
    static void apply(const RegistryDocument& changes, RegistryDocument& document);
    // Compares two names without regard to ASCII case.
    static bool sameName(std::string_view a, std::string_view b);
};
