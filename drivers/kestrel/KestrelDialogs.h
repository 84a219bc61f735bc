#pragma once

#include "frame/DriverDialogs.h"
#include "kestrel/KestrelDialogRecord.h"

#include <optional>
#include <string>
#include <vector>

// The windows the kestrel control can show besides its progress: the settings dialog, with the
// line devices it lists, and the about box. The plug-in's implementation reaches them through
// its companion GUI module; a control without one logs a line instead.
class KestrelDialogs : public DriverDialogs
{
public:
    // The line devices by number: each one's name, or none when it cannot be enumerated.
    virtual std::vector<std::optional<std::string>> lineDevices() = 0;
    // Shows the settings dialog on the record, which holds the edited values on Accepted;
    // NotShown with `error` saying why when there is no GUI to show it in.
    [[nodiscard]] virtual DialogOutcome showProperties(KestrelDialogRecord& record,
                                                       std::string& error)
        = 0;
};
