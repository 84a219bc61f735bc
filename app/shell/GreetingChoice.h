#pragma once

// The welcome dialog's setting: whether the dialog is offered at start, and the user's
// "Don't show this message in the future" kept in `dontShowGreeting`.
class GreetingChoice
{
public:
    // Whether the welcome dialog is offered: `dontShowGreeting` is not set.
    static bool shouldOffer();
    // Keeps the user's choice when the dialog closes by either button: a ticked box stores
    // `dontShowGreeting` = 1; an unticked one leaves the value as it is. False when the
    // setting could not be written.
    [[nodiscard]] static bool remember(bool dontShowAgain);
};
