#pragma once

#include "frame/DriverDialogs.h"
#include "plover/PloverDialogRecord.h"

#include <string>

// The windows the plover control can show besides its progress: the settings dialog and the
// about box. The plug-in's implementation reaches them through its companion GUI module; a
// control without one logs a line instead.
class PloverDialogs : public DriverDialogs
{
public:
    // Shows the settings dialog on the record, which holds the edited values on Accepted;
    // NotShown with `error` saying why when there is no GUI to show it in.
    [[nodiscard]] virtual DialogOutcome showProperties(PloverDialogRecord& record,
                                                       std::string& error)
        = 0;
};
