#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the "Kestrel ActiveX Properties" dialog is given and hands back. The plug-in fills it
// from the settings and the line devices, the companion GUI module shows and edits it, and the
// plug-in stores what came back (KestrelPropertiesFlow). Plain data, no toolkit types.

// The picture of a row in the dialog's device list.
enum class DeviceMark : int {
    NotSelected = 0,
    Selected = 1,
    Unavailable = 2, // the device cannot be enumerated; it is never selected
};

// One row of the device list: a line device by its number.
struct KestrelDeviceRow
{
    std::uint32_t device = 0;
    std::string name;
    DeviceMark mark = DeviceMark::NotSelected;
};

// The dialog's values.
struct KestrelDialogRecord
{
    std::vector<KestrelDeviceRow> rows; // in device-number order
    std::string promptTimeout; // the boxes' texts, as shown and as typed
    std::string readTimeout;
    std::string resends;
    bool transChars = false; // "Support control characters"
    void* parentWindow = nullptr; // the host's opaque owner window, or null
};

namespace KestrelDialogEntry {

// The entry point of the companion module that shows the dialog (declared below).
inline constexpr const char* name = "nvShowKestrelProperties";
// The most characters a box's text hands back.
inline constexpr std::size_t maxBoxText = 127;

} // namespace KestrelDialogEntry

// The entry point as the companion module defines it: shows the dialog modally on the record
// and answers a DialogOutcome as an int (see CompanionDialogs.h); on Accepted the record holds
// the edited values.
extern "C" __attribute__((visibility("default"))) int
nvShowKestrelProperties(int abiVersion, KestrelDialogRecord* record);
