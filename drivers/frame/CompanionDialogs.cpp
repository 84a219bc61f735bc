#include "frame/CompanionDialogs.h"

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

DialogOutcome settle(int answer, const std::string& modulePath, std::string_view what,
                     std::string& error)
{
    const DialogOutcome outcome = outcomeOf(answer);
    if (outcome == DialogOutcome::NotShown) {
        error = "the GUI module " + modulePath + " showed no " + std::string(what)
            + " (no GUI application)";
    }
    return outcome;
}

DialogOutcome showAbout(const std::string& modulePath, const AboutBoxRequest& setup,
                        std::string& error)
{
    return show(modulePath, aboutEntryName, setup, "about box", error);
}

} // namespace CompanionDialogs
