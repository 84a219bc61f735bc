#pragma once

#include "settings/SettingDefinition.h"

#include <string_view>

// The settings keys that the program and both driver plug-ins read: where the data files
// live and how much is logged.
namespace SharedSettings {

// Every key of the suite lies below this one (HKEY_CURRENT_USER).
inline constexpr std::string_view rootKey = "SOFTWARE\\Tessal\\Norvane";

namespace Paths {
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths";
inline constexpr StringSetting home {"home", "", 128};
inline constexpr StringSetting logFile {"logFile", "", 128};
} // namespace Paths

namespace Log {
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Log";
inline constexpr NumberSetting logLevel {"logLevel", 4};
inline constexpr NumberSetting maxLogSize {"maxLogSize", 50};
} // namespace Log

} // namespace SharedSettings
