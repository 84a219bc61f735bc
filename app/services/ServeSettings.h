#pragma once

#include "settings/SettingDefinition.h"

#include <string_view>

// The settings of the background services (HKEY_CURRENT_USER), read when they stop. The key
// keeps the name of the command that first ran them, "norvane-cli serve".
namespace ServeSettings {

// The key that holds them.
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Serve";
// Milliseconds that a stop waits for the gateway and scheduler threads, after the send in
// progress was cancelled, before the program ends without them. Values below 0 read as the
// default.
inline constexpr NumberSetting stopWaitMs {"stopWaitMs", 15000};

} // namespace ServeSettings
