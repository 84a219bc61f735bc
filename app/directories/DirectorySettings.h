#pragma once

#include "settings/SettingDefinition.h"

#include <string_view>

// The settings of the provider database and the address books (HKEY_CURRENT_USER).
namespace DirectorySettings {

namespace Paths {
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths";
// Full path of the provider database; empty: "<home>/data/pspDbs.mdb", else "pspDbs.mdb".
// Read with a 1024-byte buffer so that a long path, once written back, is read back too.
inline constexpr StringSetting pspDbs {"pspDbs", "", 1024};
// Full path of the simple address book, or "=" and an SQLite data source opened read-only.
inline constexpr StringSetting simpleAdb {"simpleAdb", "", 1024};
} // namespace Paths

namespace Adb {
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Adb";
// The current address book: 0 simple, 1 MAPI, 2 Internet (the vCard folder).
inline constexpr NumberSetting adbType {"adbType", 0};
// MAPI: prompt for the profile at start-up.
inline constexpr BoolSetting promptLogin {"promptLogin", false};
// MAPI: the profile used at start-up.
inline constexpr StringSetting profileName {"profileName", "Default", 64};
// The folder of the Internet address book's vCard files; empty: "<home>/data/contacts",
// else "contacts".
inline constexpr StringSetting internetAdb {"internetAdb", "", 1024};
} // namespace Adb

// The data file and folder names that the path rules complete.
inline constexpr std::string_view providerFileName = "pspDbs.mdb";
inline constexpr std::string_view simpleBookFileName = "simpleAdb.mdb";
inline constexpr std::string_view internetBookFolderName = "contacts";

} // namespace DirectorySettings
