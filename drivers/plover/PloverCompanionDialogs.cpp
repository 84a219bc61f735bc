#include "PloverCompanionDialogs.h"

#include "CompanionViewModule.h"

PloverCompanionDialogs::PloverCompanionDialogs(std::string modulePath)
    : m_modulePath(std::move(modulePath))
{ }

DialogOutcome PloverCompanionDialogs::showProperties(PloverDialogRecord& record, std::string& error)
{
    const auto entry = reinterpret_cast<PloverDialogEntry::Function>(
        CompanionViewModule::entryPoint(m_modulePath, PloverDialogEntry::name, error));
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

DialogOutcome PloverCompanionDialogs::showAbout(const AboutBoxSpec& spec, std::string& error)
{
    return CompanionDialogs::showAbout(m_modulePath, spec, error);
}
