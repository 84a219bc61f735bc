#include "CompanionDialogs.h"

#include "CompanionViewModule.h"

namespace CompanionDialogs {

DialogOutcome outcomeOf(int answer)
{
    switch (answer) {
    case static_cast<int>(DialogOutcome::Accepted):
        return DialogOutcome::Accepted;
    case static_cast<int>(DialogOutcome::Rejected):
        return DialogOutcome::Rejected;
    default:
        return DialogOutcome::NotShown;
    }
}

DialogOutcome showAbout(const std::string& modulePath, const AboutBoxSpec& spec, std::string& error)
{
    const auto entry = reinterpret_cast<AboutFunction>(
        CompanionViewModule::entryPoint(modulePath, aboutEntryName, error));
    if (entry == nullptr) {
        return DialogOutcome::NotShown;
    }
    const DialogOutcome outcome = outcomeOf(entry(CompanionViewModule::abiVersion, &spec));
    if (outcome == DialogOutcome::NotShown) {
        error = "the GUI module " + modulePath + " showed no about box (no GUI application)";
    }
    return outcome;
}

} // namespace CompanionDialogs
