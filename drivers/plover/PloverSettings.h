#pragma once

#include "frame/FrameTimings.h"
#include "settings/SettingDefinition.h"

#include <cstdint>
#include <string>
#include <string_view>

// The settings table of the SNPP driver: every value of its key with its type and default.
namespace PloverKeys {

// The driver's key below HKEY_CURRENT_USER.
inline constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\Plover";
// Server port used when the address names none (also read from a text holding a number).
inline constexpr NumberSetting port {"port", 444, true};
// "Disconnect after sending messages"; shown and stored, the driver always says goodbye.
inline constexpr BoolSetting disconOnClose {"disconOnClose", false};
// Milliseconds to wait for each reply of the server.
inline constexpr NumberSetting replyTimeout {"replyTimeoutMs", 10000};
// Milliseconds a host-name lookup may take before the connect gives up.
inline constexpr NumberSetting lookupTimeout {"lookupTimeoutMs", 30000};
// Milliseconds the connect-failure status stays up before the send ends. This and the next
// are the send frame's values (FrameTimings) with this driver's defaults.
inline constexpr NumberSetting statusPause {FrameTimings::statusPauseSetting.name, 2000};
// Milliseconds the send waits for its protocol thread once the progress view has closed.
inline constexpr NumberSetting threadWait {FrameTimings::threadWaitSetting.name, 10000};

} // namespace PloverKeys

// The SNPP driver's settings as one record, read and written through the settings store. Both
// the send (at each send) and the settings dialog use it; nothing is cached between uses.
class PloverSettings
{
public:
    std::int32_t port = PloverKeys::port.fallback;
    bool disconOnClose = PloverKeys::disconOnClose.fallback;
    std::int32_t replyTimeoutMs = PloverKeys::replyTimeout.fallback;
    std::int32_t lookupTimeoutMs = PloverKeys::lookupTimeout.fallback;
    std::int32_t statusPauseMs = PloverKeys::statusPause.fallback;

    // Reads every value of the current user's key; missing or mistyped values, and waiting
    // times below 0, give their defaults.
    static PloverSettings load();
    // Stores the values the settings dialog edits (`port`, `disconOnClose`); false when the
    // store cannot be written.
    [[nodiscard]] bool saveDialogValues() const;

    // The range the settings dialog's up-down control steps the port box through; a port
    // typed into the box may lie beyond it.
    static constexpr std::int32_t portSpinMinimum = 1;
    static constexpr std::int32_t portSpinMaximum = 2048;
    // The text the dialog's port box shows: the port as a decimal number.
    std::string portText() const { return std::to_string(port); }
    // The port the dialog stores for the text of its port box: the decimal number at the
    // start of the text, or the default 444 when there is none or it is no port (below 1 or
    // above 65535).
    static std::int32_t portFromText(std::string_view text);
};
