#pragma once

#include "plover/PloverDialogs.h"

#include <string>

// The plover control's dialogs as the plug-in shows them: from the companion GUI module
// (libplover_gui.so beside the plug-in), loaded at the first dialog. The module shows nothing
// where no QApplication runs.
class PloverCompanionDialogs final : public PloverDialogs
{
public:
    // Dialogs from the module at `modulePath`.
    explicit PloverCompanionDialogs(std::string modulePath);

    DialogOutcome showProperties(PloverDialogRecord& record, std::string& error) override;
    DialogOutcome showAbout(const AboutBoxRequest& setup, std::string& error) override;

private:
    std::string m_modulePath;
};
