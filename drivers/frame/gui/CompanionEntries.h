#pragma once

#include "CompanionDialogs.h"

#include <functional>

class QDialog;

// What the companion GUI modules' dialog entry points share: the checks before anything is
// shown, running on the GUI thread, and the about box.
namespace CompanionEntries {

// Runs a dialog for an entry point: NotShown (as an int) when abiVersion is not this build's
// or no QApplication exists; otherwise `show`'s outcome, run on the GUI thread (a caller on
// another thread blocks until the dialog has closed).
int showDialog(int abiVersion, const std::function<DialogOutcome()>& show);
// Runs the dialog modally (application-modal, serving events) and says how it closed.
DialogOutcome execModal(QDialog& dialog);
// What nvShowAboutBox does: the about box of the spec, with the icon of its driver.
int showAboutBox(int abiVersion, const AboutBoxSpec* spec);

} // namespace CompanionEntries
