#pragma once

#include "settings/RegistryChange.h"
#include "settings/SettingsStore.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

// One line of a key's section: a value, or a line kept as it was written (a comment, or a
// line a person typed that is not a value), so that a rewrite never loses it.
struct RegistryEntry
{
    SettingsValue value;
    std::string rawLine; // used when isRaw; may hold several lines joined by CR LF
    bool isRaw = false;
};

// One key's section.
struct RegistryKeyData
{
    std::string name; // the key's full name as first written
    std::vector<RegistryEntry> entries;
    // Lines that followed a section line the parser does not understand (a typo such as
    // "[Foo" or a key outside the known roots) up to the next key: they belong to no key,
    // are never read as values, and are written after this key's values, as they were.
    std::vector<std::string> strayLines;

    // The value entry of that name (without case), or nullptr.
    RegistryEntry* findValue(std::string_view valueName);
    const RegistryEntry* findValue(std::string_view valueName) const;
};

// Orders key names part by part without regard to case, so that a key's subkeys follow it.
struct RegistryKeyLess
{
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// A whole registry text: the lines before the first key, then the keys in tree order.
struct RegistryDocument
{
    std::vector<std::string> leadingLines; // comments and other lines before the first key
    std::map<std::string, RegistryKeyData, RegistryKeyLess> keys;

    // Adds the key and every missing ancestor; true when the key itself was added.
    bool addKey(const std::string& key);
    // Removes the key with its subkeys; lines that belonged to no key move to the key before.
    // False when the key did not exist.
    bool removeKey(const std::string& key);
    // Applies an import's changes in order: a key deleted and then written again holds only
    // what was written after the deletion.
    void apply(const std::vector<RegistryChange>& changes);
};
