#pragma once

#include <cstddef>
#include <string>

// What the "SNPP Driver Properties" dialog is given and hands back. The plug-in fills it from
// its settings, the companion GUI module shows and edits it, and the plug-in stores what came
// back (PloverSettings::portFromText for the port). Plain data, no toolkit types.
struct PloverDialogRecord
{
    std::string port; // the port box's text: the stored port in decimal, or as typed
    bool disconOnClose = false; // "Disconnect after sending messages"
    void* parentWindow = nullptr; // the host's opaque owner window, or null
};

namespace PloverDialogEntry {

// The entry point of the companion module that shows the dialog (declared below).
inline constexpr const char* name = "nvShowPloverProperties";
// The most characters the port box hands back.
inline constexpr std::size_t maxPortText = 63;
// The range of the port box's arrows.
inline constexpr int lowestPort = 1;
inline constexpr int highestPort = 2048;

} // namespace PloverDialogEntry

// The entry point as the companion module defines it: shows the dialog modally on the record
// and answers a DialogOutcome as an int (see CompanionDialogs.h); on Accepted the record holds
// the edited values.
extern "C" __attribute__((visibility("default"))) int
nvShowPloverProperties(int abiVersion, PloverDialogRecord* record);
