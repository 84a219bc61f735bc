#include "frame/FrameTimings.h"

#include "settings/SettingsKey.h"

namespace {

std::chrono::milliseconds readWait(const SettingsKey& key, const NumberSetting& setting,
                                   std::chrono::milliseconds fallback)
{
    // A negative wait means nothing, so it reads like an absent value: the default holds.
    const std::int32_t value = key.getNumber(setting.name, -1);
    return value < 0 ? fallback : std::chrono::milliseconds(value);
}

} // namespace

FrameTimings FrameTimings::load(const SettingsKey& key, const FrameTimings& defaults)
{
    FrameTimings timings;
    timings.callWait = readWait(key, callWaitSetting, defaults.callWait);
    timings.updateWait = readWait(key, updateWaitSetting, defaults.updateWait);
    timings.threadWait = readWait(key, threadWaitSetting, defaults.threadWait);
    timings.statusPause = readWait(key, statusPauseSetting, defaults.statusPause);
    return timings;
}
