#pragma once

#include "settings/SettingDefinition.h"
#include "telephony/LineConfig.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class SettingsStore;

// Where the telephony layer keeps its line devices and its dialling location in the settings
// store (HKEY_CURRENT_USER), the value names with their defaults, and the readers.
namespace LineSettings {

// One subkey per line device; the devices are numbered in the order of these subkeys.
inline constexpr std::string_view linesKey = "SOFTWARE\\Tessal\\Norvane\\Kestrel\\Lines";
// The dialling location.
inline constexpr std::string_view locationKey = "SOFTWARE\\Tessal\\Norvane\\Kestrel\\Location";

inline constexpr StringSetting type {"type", "modem", 16};
inline constexpr StringSetting name {"name", "", 128};
inline constexpr BoolSetting voice {"voice", false};

inline constexpr StringSetting device {"device", "", 256};
inline constexpr NumberSetting speed {"speed", 0};
inline constexpr StringSetting initString {"initString", "ATZ", 128};
inline constexpr StringSetting initString2 {"initString2", "ATE0V1Q0", 128};
inline constexpr StringSetting dialPrefix {"dialPrefix", "ATDT", 32};
inline constexpr NumberSetting commandTimeout {"commandTimeout", 3000};
inline constexpr NumberSetting answerTimeout {"answerTimeout", 50000};
inline constexpr NumberSetting guardTime {"guardTime", 1000};
inline constexpr NumberSetting dtrDropTime {"dtrDropTime", 500};

inline constexpr StringSetting host {"host", "", 256};
inline constexpr NumberSetting port {"port", 0, true}; // also read from a text holding a number
inline constexpr NumberSetting connectTimeout {"connectTimeout", 10000};

inline constexpr StringSetting localAccessCode {"localAccessCode", "", 32};

// The configured line devices in device-number order: subkeys named by a decimal number
// first, by that number, then the others by name. Reading creates no key.
std::vector<LineConfig> readLines(const std::shared_ptr<SettingsStore>& store);
// The dialling location's local access code ("" when none is set).
std::string readLocalAccessCode(const std::shared_ptr<SettingsStore>& store);

} // namespace LineSettings
