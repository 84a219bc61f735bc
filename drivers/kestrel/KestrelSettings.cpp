#include "kestrel/KestrelSettings.h"

#include "settings/SettingsKey.h"

namespace {

std::uint32_t readLittleEndian(const std::string& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
            << (8 * i);
    }
    return value;
}

void appendLittleEndian(std::string& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>((value >> (8 * i)) & 0xFFu);
    }
}

} // namespace

FrameTimings KestrelSettings::defaultTimings()
{
    return FrameTimings {};
}

KestrelSettings::ModemList KestrelSettings::readModemList(const SettingsKey& key)
{
    ModemList list;
    std::string bytes;
    if (!key.getBinary(modemListName, bytes, modemListBufferSize) || bytes.size() < 4) {
        // Without a whole count the value says nothing; it reads as absent rather than as
        // an empty list that would refuse every send.
        return list;
    }
    list.present = true;
    // A count beyond the numbers the value holds would read past its end: only the numbers
    // that are there count.
    const std::size_t held = (bytes.size() - 4) / 4;
    const std::size_t count = std::min<std::size_t>(readLittleEndian(bytes, 0), held);
    for (std::size_t i = 0; i < count; ++i) {
        list.devices.push_back(readLittleEndian(bytes, 4 + 4 * i));
    }
    return list;
}

KestrelSettings::ForSend KestrelSettings::loadForSend(const SettingsKey& key)
{
    ForSend settings;
    settings.modems = readModemList(key);
    if (settings.modems.devices.size() > maxSendDevices) {
        settings.modems.devices.resize(maxSendDevices);
    }
    settings.tap.maxSendPacket = key.read(maxSendPacket);
    settings.tap.readTimeoutSeconds = key.read(maxReadTimeout);
    settings.tap.promptTimeoutSeconds = key.read(maxPromptTimeoutForSend);
    settings.tap.transChars = key.read(transCharsForSend);
    settings.tap.goAheadDelayMs = key.read(goAheadDelay);
    const int blockText = key.read(maxBlockText);
    settings.tap.maxBlockText = blockText > 0 ? blockText : static_cast<int>(maxBlockText.fallback);
    settings.timings = FrameTimings::load(key, defaultTimings());
    return settings;
}

KestrelSettings::ForDialog KestrelSettings::loadForDialog(const SettingsKey& key)
{
    ForDialog settings;
    settings.modems = readModemList(key);
    settings.maxSendPacket = key.read(maxSendPacket);
    settings.maxReadTimeout = key.read(maxReadTimeout);
    settings.maxPromptTimeout = key.read(maxPromptTimeoutForDialog);
    settings.transChars = key.read(transCharsForDialog);
    return settings;
}

bool KestrelSettings::storeFromDialog(SettingsKey& key, const std::vector<std::uint32_t>& selected,
                                      bool everyRowSelected, const ForDialog& values)
{
    bool stored = true;
    if (everyRowSelected) {
        // Deleting a value that is not there is no failure: the default holds either way.
        (void)key.deleteValue(modemListName);
    } else {
        std::string bytes;
        appendLittleEndian(bytes, static_cast<std::uint32_t>(selected.size()));
        for (std::uint32_t device : selected) {
            appendLittleEndian(bytes, device);
        }
        stored = key.setBinary(modemListName, bytes) && stored;
    }
    stored = key.write(transCharsForDialog, values.transChars) && stored;
    stored = key.write(maxSendPacket, values.maxSendPacket) && stored;
    stored = key.write(maxReadTimeout, values.maxReadTimeout) && stored;
    stored = key.write(maxPromptTimeoutForDialog, values.maxPromptTimeout) && stored;
    return stored;
}
