// The entry points that every companion GUI module exports alike: its progress window and its
// about box. norvane_add_driver_gui compiles this file into each module, since a copy in the
// static library would be left out of a module in which nothing calls it.
#include "frame/CompanionDialogs.h"
#include "frame/CompanionViewModule.h"
#include "frame/gui/CompanionEntries.h"
#include "frame/gui/QtProgressView.h"

extern "C" ProgressView* nvCreateProgressView(int abiVersion, const ProgressViewSetup* setup)
{
    return QtProgressView::create(abiVersion, setup);
}

extern "C" int nvShowAboutBox(int abiVersion, const AboutBoxRequest* setup)
{
    return CompanionEntries::showAboutBox(abiVersion, setup);
}
