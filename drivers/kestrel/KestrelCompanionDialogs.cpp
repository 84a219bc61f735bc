#include "KestrelCompanionDialogs.h"

#include "CompanionViewModule.h"
#include "line/Telephony.h"

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
    const auto entry = reinterpret_cast<KestrelDialogEntry::Function>(
        CompanionViewModule::entryPoint(m_modulePath, KestrelDialogEntry::name, error));
    if (entry == nullptr) {
        return DialogOutcome::NotShown;
    }
    const DialogOutcome outcome
        = CompanionDialogs::outcomeOf(entry(CompanionViewModule::abiVersion, &record));
    if (outcome == DialogOutcome::NotShown) {
        error = "the GUI module " + m_modulePath + " showed no dialog (no GUI application)";
    }
    return outcome;
}

DialogOutcome KestrelCompanionDialogs::showAbout(const AboutBoxSpec& spec, std::string& error)
{
    return CompanionDialogs::showAbout(m_modulePath, spec, error);
}
