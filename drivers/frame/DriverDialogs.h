#pragma once

#include "frame/CompanionDialogs.h"

#include <string>

// The windows every driver control can show besides its progress, as far as the drivers
// share them: the about box. Each driver's dialog seam (KestrelDialogs, PloverDialogs) adds
// its settings dialog; the plug-ins reach both through their companion GUI modules.
class DriverDialogs
{
public:
    virtual ~DriverDialogs() = default;

    // Shows the about box; NotShown with `error` saying why when there is no GUI to show it in.
    [[nodiscard]] virtual DialogOutcome showAbout(const AboutBoxRequest& setup, std::string& error)
        = 0;
};
