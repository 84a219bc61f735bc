#pragma once

#include "settings/SettingsStore.h"

#include <optional>
#include <string_view>

// One value that the settings tables of the program or a driver declare.
struct KnownSetting
{
    std::string_view key; // below HKEY_CURRENT_USER; a last part "*" stands for any subkey
    std::string_view name;
    ValueType type;
    // Also read when stored as the other of string and number (a port).
    bool alsoOtherType = false;
};

// The values of the program's and the drivers' settings tables, so that tools can tell a
// value stored with a type its reader ignores.
class KnownSettings
{
public:
    // The table entry of the value `name` in the key (a full name, "HKEY_CURRENT_USER\...",
    // compared without regard to case); nothing when no table declares it.
    static std::optional<KnownSetting> find(std::string_view fullKeyName, std::string_view name);
    // Whether a value of `type` is read as the entry declares it; otherwise a text saying
    // what the reader does with it ("" when it is read).
    static std::string mismatch(const KnownSetting& setting, ValueType type);
};
