#pragma once

#include "settings/SettingsStore.h"

#include <string>

// One line of an import, applied in the order of the text as a registry editor does.
struct RegistryChange
{
    enum class Kind { DeleteKey, CreateKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    std::string key; // the key's canonical name
    SettingsValue value; // SetValue: the value; DeleteValue: its name
};
