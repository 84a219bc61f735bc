#include "kestrel/KestrelCompanionDialogs.h"

#include "telephony/Telephony.h"

KestrelCompanionDialogs::KestrelCompanionDialogs(std::string modulePath)
    : m_modulePath(std::move(modulePath))
{ }

std::vector<std::optional<std::string>> KestrelCompanionDialogs::lineDevices()
{
    // A telephony object of its own, read afresh for each opening of the dialog; the data and
    // voice abilities do not filter the list.
    const Telephony telephony;
    std::vector<std::optional<std::string>> devices;
    for (int device = 0; device < telephony.deviceCount(); ++device) {
        LineDeviceInfo info;
        if (telephony.enumerate(static_cast<std::uint32_t>(device), info)) {
            devices.emplace_back(info.name);
        } else {
            devices.emplace_back(std::nullopt);
        }
    }
    return devices;
}

DialogOutcome KestrelCompanionDialogs::showProperties(KestrelDialogRecord& record,
                                                      std::string& error)
{
    return CompanionDialogs::show(m_modulePath, KestrelDialogEntry::name, record, "dialog", error);
}

DialogOutcome KestrelCompanionDialogs::showAbout(const AboutBoxRequest& setup, std::string& error)
{
    return CompanionDialogs::showAbout(m_modulePath, setup, error);
}
