#pragma once

#include "settings/SettingDefinition.h"

#include <string_view>

// The settings of the SNPP gateway (HKEY_CURRENT_USER), read when its thread starts and at
// each restart.
namespace GatewaySettings {

namespace SnppSrv {
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\SnppSrv";
// The listening port: a decimal number or a TCP service name; longer than 31 characters reads
// as the default. A port stored as a number reads as its decimal text.
inline constexpr StringSetting port {"port", "444", 32, true};
// The gateway runs only when set.
inline constexpr BoolSetting enabled {"enabled", false};
// Only pager identifiers that the address book knows are accepted.
inline constexpr BoolSetting fromAdbOnly {"fromAdbOnly", false};
// LOGI and LEVE are answered with 250, so that clients that log in first can relay.
inline constexpr BoolSetting level2Login {"level2Login", false};
// Milliseconds one client's session may last, its relayed sends not counted; 0 or less: the
// default. Keeps a client that trickles its bytes from holding the one-at-a-time gateway.
inline constexpr NumberSetting sessionTimeoutMs {"sessionTimeoutMs", 300000};
} // namespace SnppSrv

namespace Hosts {
// One value per allowed host: its name is a host name or dotted address, or begins with "*"
// for every host; its data is not read.
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\SnppSrv\\hosts";
} // namespace Hosts

// The origin tag of the gateway's own log lines.
inline constexpr std::string_view logTag = "SNPP";

} // namespace GatewaySettings
