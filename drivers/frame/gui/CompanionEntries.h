#pragma once

#include "frame/CompanionDialogs.h"

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
// What nvShowAboutBox does: the about box the request describes, with the icon of its driver.
int showAboutBox(int abiVersion, const AboutBoxRequest* setup);

// What a settings dialog's entry point does: NotShown (as an int) for a null record, else
// showDialog() of a `Dialog` made from the record, run modally without an owner window (it
// is modal to the whole application); on Accepted the record takes the dialog's values.
template<class Dialog, class Record>
int showRecordDialog(int abiVersion, Record* record)
{
    if (record == nullptr) {
        return static_cast<int>(DialogOutcome::NotShown);
    }
    return showDialog(abiVersion, [record] {
        Dialog dialog(*record);
        const DialogOutcome outcome = execModal(dialog);
        if (outcome == DialogOutcome::Accepted) {
            *record = dialog.record();
        }
        return outcome;
    });
}

} // namespace CompanionEntries
