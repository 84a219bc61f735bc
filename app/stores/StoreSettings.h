#pragma once

#include "settings/SettingDefinition.h"

#include <string_view>

// The settings the message stores read (HKEY_CURRENT_USER): where the saved messages and the
// history live, and how long the history is.
namespace StoreSettings {

// Values of the Paths key (SharedSettings::Paths::key): a full path overrides home/data/NAME.
namespace Paths {
inline constexpr StringSetting canMsgDbs {"canMsgDbs", "", 128};
inline constexpr StringSetting msgDbs {"msgDbs", "", 128};
} // namespace Paths

// The Messages key: the history keeps the newest entry and at most maxSavedCount older ones.
namespace Messages {
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Messages";
inline constexpr NumberSetting maxSavedCount {"maxSavedCount", 20};
} // namespace Messages

// The file names used when no full path is set.
inline constexpr std::string_view savedMessagesFile = "canMsg.dat";
inline constexpr std::string_view historyFile = "msg.dat";

} // namespace StoreSettings
