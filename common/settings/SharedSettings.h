#pragma once

#include "settings/SettingDefinition.h"

#include <string_view>

// The settings keys that the program and both driver plug-ins read: where the data files
// live and how much is logged.
namespace SharedSettings {

// Every key of the suite lies below this one (HKEY_CURRENT_USER).
inline constexpr std::string_view rootKey = "SOFTWARE\\Tessal\\Norvane";

// Where the data files live: the installation folder, and a full path per file that
// overrides "<home>/data/NAME" (see DataPaths).
namespace Paths {
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths";
inline constexpr StringSetting home {"home", "", 128};
inline constexpr StringSetting logFile {"logFile", "", 128};
// The saved messages and the message history.
inline constexpr StringSetting canMsgDbs {"canMsgDbs", "", 128};
inline constexpr StringSetting msgDbs {"msgDbs", "", 128};
// The provider database; read with a 1024-byte buffer so that a long path, once written back,
// is read back too.
inline constexpr StringSetting pspDbs {"pspDbs", "", 1024};
// The simple address book, or "=" and an SQLite data source opened read-only.
inline constexpr StringSetting simpleAdb {"simpleAdb", "", 1024};
} // namespace Paths

namespace Log {
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Log";
inline constexpr NumberSetting logLevel {"logLevel", 4};
inline constexpr NumberSetting maxLogSize {"maxLogSize", 50};
} // namespace Log

} // namespace SharedSettings
