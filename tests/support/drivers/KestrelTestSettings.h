#pragma once

#include "kestrel/KestrelSettings.h"
#include "settings/SettingsKey.h"
#include "telephony/LineSettings.h"

#include <cstdint>
#include <string>
#include <vector>

// The kestrel driver's settings as its tests write and read them in a private store: the
// driver's key, the stored modem device list, TCP line devices and short waits.
namespace KestrelTestSettings {

// The driver's settings key.
inline SettingsKey key()
{
    return SettingsKey(RootKey::CurrentUser, KestrelSettings::key);
}

// A stored modem device list: `count`, then the devices, each 32 bits, low byte first.
inline std::string modemListBytes(std::uint32_t count, const std::vector<std::uint32_t>& devices)
{
    std::string bytes;
    auto append = [&bytes](std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    append(count);
    for (std::uint32_t device : devices) {
        append(device);
    }
    return bytes;
}

// A stored modem device list that counts exactly its devices.
inline std::string modemListBytes(const std::vector<std::uint32_t>& devices)
{
    return modemListBytes(static_cast<std::uint32_t>(devices.size()), devices);
}

// The stored modem device list's bytes, or "absent".
inline std::string storedModemList()
{
    std::string bytes;
    return key().getBinary("modemList", bytes, 4096) ? bytes : "absent";
}

// Writes the line device `name` as a TCP line to host:port; false when a value was not written.
[[nodiscard]] inline bool tcpLine(const std::string& name, const std::string& host, int port)
{
    SettingsKey line(RootKey::CurrentUser, std::string(LineSettings::linesKey) + "\\" + name);
    return line.setString("type", "tcp") && line.setString("host", host)
        && line.setNumber("port", port);
}

// Shortens the engine's waits for a terminal on loopback: one second for the prompt and for
// each reply, 10 ms before the go-ahead; false when a value was not written.
[[nodiscard]] inline bool shortTerminalWaits()
{
    SettingsKey settings = key();
    return settings.setNumber("maxPromptTimeout", 1) && settings.setNumber("maxReadTimeout", 1)
        && settings.setNumber("goAheadDelayMs", 10);
}

// Shortens the send frame's waits: 5 s for the call, 2 s per progress update, 10 s for the
// protocol thread; false when a value was not written.
[[nodiscard]] inline bool shortFrameWaits()
{
    SettingsKey settings = key();
    return settings.setNumber("callWaitMs", 5000) && settings.setNumber("updateWaitMs", 2000)
        && settings.setNumber("threadWaitMs", 10000);
}

} // namespace KestrelTestSettings
