#pragma once

#include "settings/SettingDefinition.h"

#include <chrono>

class SettingsKey;

// The bounded waits of a send. Each may be set, in milliseconds, under the driver's own
// settings key (for slow lines, or short waits in tests); an absent or negative value keeps
// the driver's default.
struct FrameTimings
{
    // How long the protocol thread waits for the outcome of a dialled call.
    std::chrono::milliseconds callWait {60000};
    // How long each progress update waits for the progress view to come up.
    std::chrono::milliseconds updateWait {5000};
    // How long the send waits for the protocol thread once the progress view has ended.
    std::chrono::milliseconds threadWait {300000};
    // How long a failure's status stays on a visible progress view before it closes.
    std::chrono::milliseconds statusPause {2000};

    // The value names under the driver's key.
    static constexpr NumberSetting callWaitSetting {"callWaitMs", 60000};
    static constexpr NumberSetting updateWaitSetting {"updateWaitMs", 5000};
    static constexpr NumberSetting threadWaitSetting {"threadWaitMs", 300000};
    static constexpr NumberSetting statusPauseSetting {"statusPauseMs", 2000};

    // The timings stored under the key, each falling back to the one in `defaults`.
    static FrameTimings load(const SettingsKey& key, const FrameTimings& defaults);
};
