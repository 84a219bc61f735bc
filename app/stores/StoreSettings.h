#pragma once

#include "settings/SettingDefinition.h"

#include <string_view>

// The settings the message stores read (HKEY_CURRENT_USER): how long the history is, and the
// file names completed when SharedSettings::Paths gives no full path.
namespace StoreSettings {

// The Messages key: the history keeps the newest entry and at most maxSavedCount older ones.
namespace Messages {
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Messages";
inline constexpr NumberSetting maxSavedCount {"maxSavedCount", 20};
} // namespace Messages

// The file names used when no full path is set.
inline constexpr std::string_view savedMessagesFile = "canMsg.dat";
inline constexpr std::string_view historyFile = "msg.dat";

} // namespace StoreSettings
