#pragma once

#include "frame/CompanionViewModule.h"

#include <string>
#include <string_view>

// The drivers' modal dialogs (settings and about box) live in the same companion GUI module
// as the progress window (see CompanionViewModule). The plug-in hands a dialog its values in a
// record and applies what comes back itself; the module only shows and edits.
//
// Every dialog entry point takes the module's abiVersion first and answers one of the
// outcomes below as an int; it shows nothing (NotShown) when the version differs or no GUI
// application runs in the process. Called on the GUI thread it runs the dialog modally there;
// called on another thread it runs the dialog on the GUI thread and blocks until it closes.

// What became of a dialog the plug-in asked for.
enum class DialogOutcome : int {
    NotShown = -1, // no GUI here (or another interface version): nothing was shown
    Rejected = 0, // closed with Cancel: nothing is to be stored
    Accepted = 1, // closed with OK: the record holds the edited values
};

// What an about box shows.
struct AboutBoxRequest
{
    std::string caption; // "About Kestrel Control"
    std::string text; // "Kestrel Control, Version 1.0"
    std::string tag; // the driver ("kestrel", "plover"), which picks the control's icon
    void* parentWindow = nullptr; // the host's opaque owner window, or null
};

namespace CompanionDialogs {

// The type of a dialog entry point that shows its dialog on a record of type `Record`.
template<typename Record>
using EntryFunction = int (*)(int abiVersion, Record* record);

// The name and type of the about box's entry point.
inline constexpr const char* aboutEntryName = "nvShowAboutBox";
using AboutFunction = EntryFunction<const AboutBoxRequest>;

// An int an entry point answered, as an outcome (anything unknown counts as NotShown).
DialogOutcome outcomeOf(int answer);

// The outcome of the answer of an entry point of the module at `modulePath`; NotShown with
// `error` saying that the module showed no `what` ("dialog", "about box").
[[nodiscard]] DialogOutcome settle(int answer, const std::string& modulePath, std::string_view what,
                                   std::string& error);

// Shows the window that the entry point `entryName` of the module at `modulePath` runs on
// `record`; NotShown with `error` saying why when the module or the entry point is missing or
// the module shows no `what`.
template<typename Record>
[[nodiscard]] DialogOutcome show(const std::string& modulePath, const char* entryName,
                                 Record& record, std::string_view what, std::string& error)
{
    const auto entry = reinterpret_cast<EntryFunction<Record>>(
        CompanionViewModule::entryPoint(modulePath, entryName, error));
    if (entry == nullptr) {
        return DialogOutcome::NotShown;
    }
    return settle(entry(CompanionViewModule::abiVersion, &record), modulePath, what, error);
}

// Shows the about box of the module at `modulePath`; NotShown with `error` saying why when
// the module is missing or shows nothing.
[[nodiscard]] DialogOutcome showAbout(const std::string& modulePath, const AboutBoxRequest& setup,
                                      std::string& error);

} // namespace CompanionDialogs

// The about box's entry point as a companion module defines it.
extern "C" __attribute__((visibility("default"))) int nvShowAboutBox(int abiVersion,
                                                                     const AboutBoxRequest* setup);
