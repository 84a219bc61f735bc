#pragma once

#include "settings/SettingDefinition.h"

#include <string_view>

// The desktop program's "General" key (HKEY_CURRENT_USER): the recipient entry's three flags,
// written by the options sheet, and the start-up's values.
namespace GeneralSettings {

inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\General";
// New recipients do not go through the address check.
inline constexpr BoolSetting disableAddrCheck {"disableAddrCheck", false};
// No name completion while a recipient is typed.
inline constexpr BoolSetting disableAddrCompletion {"disableAddrCompletion", false};
// The address check runs quietly: it never asks and accepts every entry.
inline constexpr BoolSetting disableAddrWarning {"disableAddrWarning", false};
// The welcome dialog is not offered at start.
inline constexpr BoolSetting dontShowGreeting {"dontShowGreeting", false};
// The running instance's compose window, for a second start to bring forward (0: none).
inline constexpr NumberSetting mainWnd {"mainWnd", 0};

} // namespace GeneralSettings
