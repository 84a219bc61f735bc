#pragma once

#include "settings/SettingDefinition.h"

#include <string_view>

// The settings of the provider database and the address books (HKEY_CURRENT_USER); their
// paths are in SharedSettings::Paths.
namespace DirectorySettings {

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

// The waits of a directory search (the Ldap key itself holds only the services).
namespace LdapSearch {
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\LdapSearch";
// Milliseconds to wait for a bind's answer before asking whether to keep waiting.
inline constexpr NumberSetting bindWait {"bindWait", 6000};
// Milliseconds one search may take before it is given up.
inline constexpr NumberSetting searchLimit {"searchLimit", 30000};
} // namespace LdapSearch

// The data file and folder names that the path rules complete.
inline constexpr std::string_view providerFileName = "pspDbs.mdb";
inline constexpr std::string_view simpleBookFileName = "simpleAdb.mdb";
inline constexpr std::string_view internetBookFolderName = "contacts";

} // namespace DirectorySettings
