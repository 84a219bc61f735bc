// The plover plug-in's companion GUI module (libplover_gui.so): its settings dialog, beside the
// progress window and the about box that every module exports (CompanionModuleEntries.cpp),
// for a plug-in running in a QApplication.
#include "frame/gui/CompanionEntries.h"
#include "plover/PloverDialogRecord.h"
#include "plover/gui/PloverPropertiesDialog.h"

extern "C" int nvShowPloverProperties(int abiVersion, PloverDialogRecord* record)
{
    return CompanionEntries::showRecordDialog<PloverPropertiesDialog>(abiVersion, record);
}
