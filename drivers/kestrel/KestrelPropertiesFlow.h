#pragma once

#include "kestrel/KestrelDialogRecord.h"
#include "kestrel/KestrelSettings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SettingsKey;

// What the settings dialog opens with and what its OK stores, apart from the window: the
// device list marked from modemList, the boxes filled with the dialog's defaults, and the
// values the dialog hands back written as the driver reads them.
class KestrelPropertiesFlow
{
public:
    // The name shown for a device that cannot be enumerated.
    static constexpr std::string_view unknownDevice = "Unknown device";
    // OK looks at no more rows than these when it collects the selected devices.
    static constexpr std::size_t maxRowsCollected = 128;

    // The record for the stored values and the line devices (by number: a name, or none
    // for a device that cannot be enumerated). Every device shows as selected when modemList
    // is absent, else those it lists; the boxes show the numbers in decimal.
    static KestrelDialogRecord open(const KestrelSettings::ForDialog& values,
                                    const std::vector<std::optional<std::string>>& devices);
    // Stores what the dialog handed back: modemList deleted when every row is selected, else
    // written with the selected devices in row order; transChars as 0 or 1; the three numbers
    // read from the boxes' texts as the C library's atoi reads them. False when a value could
    // not be written.
    [[nodiscard]] static bool store(SettingsKey& key, const KestrelDialogRecord& record);
};
