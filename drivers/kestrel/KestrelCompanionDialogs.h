#pragma once

#include "kestrel/KestrelDialogs.h"

#include <string>

// The kestrel control's dialogs as the plug-in shows them: the line devices from the
// telephony layer, the windows from the companion GUI module (libkestrel_gui.so beside the
// plug-in), loaded at the first dialog. The module shows nothing where no QApplication runs.
class KestrelCompanionDialogs final : public KestrelDialogs
{
public:
    // Dialogs from the module at `modulePath`.
    explicit KestrelCompanionDialogs(std::string modulePath);

    std::vector<std::optional<std::string>> lineDevices() override;
    DialogOutcome showProperties(KestrelDialogRecord& record, std::string& error) override;
    DialogOutcome showAbout(const AboutBoxRequest& setup, std::string& error) override;

private:
    std::string m_modulePath;
};
