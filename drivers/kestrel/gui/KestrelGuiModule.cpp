// The kestrel plug-in's companion GUI module (libkestrel_gui.so): its progress window, its
// settings dialog and its about box, for a plug-in running in a QApplication.
#include "CompanionDialogs.h"
#include "CompanionEntries.h"
#include "CompanionViewModule.h"
#include "KestrelDialogRecord.h"
#include "KestrelPropertiesDialog.h"
#include "QtProgressView.h"

extern "C" ProgressView* nvCreateProgressView(int abiVersion, const ProgressViewSpec* spec)
{
    return QtProgressView::create(abiVersion, spec);
}

extern "C" int nvShowAboutBox(int abiVersion, const AboutBoxSpec* spec)
{
    return CompanionEntries::showAboutBox(abiVersion, spec);
}

extern "C" int nvShowKestrelProperties(int abiVersion, KestrelDialogRecord* record)
{
    if (record == nullptr) {
        return static_cast<int>(DialogOutcome::NotShown);
    }
    return CompanionEntries::showDialog(abiVersion, [record] {
        // The settings dialog has no owner window: it is modal to the whole application.
        KestrelPropertiesDialog dialog(*record);
        const DialogOutcome outcome = CompanionEntries::execModal(dialog);
        if (outcome == DialogOutcome::Accepted) {
            *record = dialog.record();
        }
        return outcome;
    });
}
