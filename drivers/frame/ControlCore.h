#pragma once

#include "frame/CompanionDialogs.h"
#include "frame/MessageList.h"

#include <cstdint>
#include <string>
#include <string_view>

class ControlledDriver;
class DriverDialogs;

// What the two driver controls do alike: the message list with the dispatch members that work
// on it, the about box, and the log lines around the settings dialog. Each member first checks
// that the control has its driver object; without it addMessage, getMessageCount and
// getMessageResultCode answer codeNoDriver and the others do nothing.
class ControlCore
{
public:
    // The code of every counting member of a control without its driver object.
    static constexpr std::int32_t codeNoDriver = 1;
    // addMessage's code (and the driver's last error) when the list is full.
    static constexpr std::int32_t codeListFull = 207;

    // A core over `driver` (null: the control has none) that shows the control's windows
    // through `dialogs` (null: none in this process, a log line stands in) and whose about box
    // is `about`. Neither is owned; both outlive the core.
    ControlCore(ControlledDriver* driver, DriverDialogs* dialogs, AboutBoxRequest about);

    // The dispatch members of the same names.
    [[nodiscard]] std::int32_t addMessage(std::string_view recipient, std::string_view message);
    void clear();
    std::int32_t getMessageCount() const;
    std::int32_t getMessageResultCode(std::int16_t msgIndex) const;
    void aboutBox();

    // Whether the settings dialog can be shown: the control has its driver and its dialogs
    // (without dialogs a line at level 5 says so).
    bool settingsDialogAvailable() const;
    // Whether the settings dialog's outcome asks for its values to be stored; when it was not
    // shown, a line at level 5 gives `error`.
    bool settingsAccepted(DialogOutcome outcome, const std::string& error) const;
    // Logs that the dialog's values could not be written to the key `keyName`.
    void settingsNotStored(std::string_view keyName) const;

    // The message list, which a send works on.
    MessageList& messages() { return m_messages; }

private:
    ControlledDriver* m_driver;
    DriverDialogs* m_dialogs;
    const AboutBoxRequest m_about;
    MessageList m_messages;
};
