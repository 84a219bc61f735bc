// The kestrel plug-in's companion GUI module (libkestrel_gui.so): its settings dialog, beside the
// progress window and the about box that every module exports (CompanionModuleEntries.cpp),
// for a plug-in running in a QApplication.
#include "frame/gui/CompanionEntries.h"
#include "kestrel/KestrelDialogRecord.h"
#include "kestrel/gui/KestrelPropertiesDialog.h"

extern "C" int nvShowKestrelProperties(int abiVersion, KestrelDialogRecord* record)
{
    return CompanionEntries::showRecordDialog<KestrelPropertiesDialog>(abiVersion, record);
}
