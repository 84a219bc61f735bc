#pragma once

#include "frame/FrameTimings.h"
#include "kestrel/TapEngine.h"
#include "settings/SettingDefinition.h"

#include <cstdint>
#include <string_view>
#include <vector>

class SettingsKey;

// The IXO/TAP driver's settings under HKEY_CURRENT_USER\SOFTWARE\Tessal\Norvane\Kestrel:
// which modems it may dial, how often a block is resent, how long it waits for the terminal.
// Sending and the settings dialog read some of them with different defaults; both readings
// are here so the two cannot drift apart.
class KestrelSettings
{
public:
    // The key, below HKEY_CURRENT_USER.
    static constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\Kestrel";

    // modemList: binary, a 32-bit count and that many 32-bit device numbers, little-endian.
    static constexpr std::string_view modemListName = "modemList";
    // A longer modemList value reads as absent.
    static constexpr std::size_t modemListBufferSize = 512;
    // The most device numbers a send tries.
    static constexpr std::size_t maxSendDevices = 20;

    static constexpr NumberSetting maxSendPacket {"maxSendPacket", 3};
    static constexpr NumberSetting maxReadTimeout {"maxReadTimeout", 6};
    static constexpr NumberSetting maxPromptTimeoutForSend {"maxPromptTimeout", 3};
    static constexpr NumberSetting maxPromptTimeoutForDialog {"maxPromptTimeout", 6};
    static constexpr BoolSetting transCharsForSend {"transChars", true};
    static constexpr BoolSetting transCharsForDialog {"transChars", false};
    // The pause after the terminal's go-ahead, before the first block.
    static constexpr NumberSetting goAheadDelay {"goAheadDelayMs", 1000};
    // The most encoded text bytes per block (2 to 511; 0 or less: 511). A longer text goes on
    // in continuation blocks. 250 suits terminals that keep to a 256-byte block.
    static constexpr NumberSetting maxBlockText {"maxBlockText", 511};

    // What the modemList value says.
    struct ModemList
    {
        bool present = false; // false: absent, of another type, too long or malformed
        std::vector<std::uint32_t> devices; // the numbers it holds (at most 127)
    };

    // What one send uses.
    struct ForSend
    {
        ModemList modems; // devices cut to maxSendDevices
        TapSettings tap;
        FrameTimings timings;
    };

    // What the settings dialog shows and stores.
    struct ForDialog
    {
        ModemList modems; // absent: every device shows as selected
        int maxSendPacket = 3;
        int maxReadTimeout = 6;
        int maxPromptTimeout = 6;
        bool transChars = false;
    };

    // The driver's frame waits when nothing is stored (the thread wait is five minutes).
    static FrameTimings defaultTimings();

    // Reads modemList; a key that its opening has just created holds none.
    static ModemList readModemList(const SettingsKey& key);
    // Reads everything a send uses, with the sending defaults.
    static ForSend loadForSend(const SettingsKey& key);
    // Reads everything the dialog shows, with the dialog's defaults.
    static ForDialog loadForDialog(const SettingsKey& key);
    // Stores the dialog's values. `selected` are the numbers of the selected devices in row
    // order; when every row is selected modemList is deleted (every device, the default),
    // otherwise it is written with them. False when a value could not be written.
    [[nodiscard]] static bool storeFromDialog(SettingsKey& key,
                                              const std::vector<std::uint32_t>& selected,
                                              bool everyRowSelected, const ForDialog& values);
};
