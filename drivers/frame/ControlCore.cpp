#include "frame/ControlCore.h"

#include "frame/ControlledDriver.h"
#include "frame/DriverDialogs.h"
#include "log/LogLevel.h"

ControlCore::ControlCore(ControlledDriver* driver, DriverDialogs* dialogs, AboutBoxRequest about)
    : m_driver(driver)
    , m_dialogs(dialogs)
    , m_about(std::move(about))
{ }

std::int32_t ControlCore::addMessage(std::string_view recipient, std::string_view message)
{
    if (m_driver == nullptr) {
        return codeNoDriver;
    }
    if (!m_messages.add(recipient, message)) {
        m_driver->setLastError(codeListFull);
        return codeListFull;
    }
    return 0;
}

void ControlCore::clear()
{
    if (m_driver != nullptr) {
        m_messages.clear();
    }
}

std::int32_t ControlCore::getMessageCount() const
{
    return m_driver != nullptr ? m_messages.count() : codeNoDriver;
}

std::int32_t ControlCore::getMessageResultCode(std::int16_t msgIndex) const
{
    if (m_driver == nullptr) {
        return codeNoDriver;
    }
    return static_cast<std::int32_t>(m_messages.result(msgIndex));
}

void ControlCore::aboutBox()
{
    if (m_driver == nullptr) {
        return;
    }
    if (m_dialogs != nullptr) {
        std::string error;
        if (m_dialogs->showAbout(m_about, error) != DialogOutcome::NotShown) {
            return;
        }
    }
    // Without a window the about box's line goes to the log.
    m_driver->logOutsideSend(LogLevel::Info, m_about.text);
}

bool ControlCore::settingsDialogAvailable() const
{
    if (m_driver == nullptr) {
        return false;
    }
    if (m_dialogs == nullptr) {
        m_driver->logOutsideSend(LogLevel::Info,
                                 "Settings dialog not shown: no dialogs in this process");
        return false;
    }
    return true;
}

bool ControlCore::settingsAccepted(DialogOutcome outcome, const std::string& error) const
{
    switch (outcome) {
    case DialogOutcome::Accepted:
        return true;
    case DialogOutcome::Rejected:
        return false;
    case DialogOutcome::NotShown:
        if (m_driver != nullptr) {
            m_driver->logOutsideSend(LogLevel::Info, "Settings dialog not shown: " + error);
        }
        return false;
    }
    return false;
}

void ControlCore::settingsNotStored(std::string_view keyName) const
{
    if (m_driver != nullptr) {
        m_driver->logOutsideSend(LogLevel::Errors,
                                 "Settings not stored: cannot write " + std::string(keyName));
    }
}
