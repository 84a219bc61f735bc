#pragma once

#include <cstdint>
#include <string>

class DeskServices;

// The "Address Book" page's rules: the chosen book type (none for a stored type the page does
// not know), the two buttons that wait for an applied change, and apply, which stores the type
// and switches the program's current book at once.
class AddressBookOptionsForm
{
public:
    // No radio button set.
    static constexpr int noType = -1;

    // The stored `adbType` as the page shows it: 0 to 2, else noType.
    static AddressBookOptionsForm load();

    // The chosen type (noType: none).
    int type() const { return m_type; }
    // A click on a radio button: the type is chosen and "Properties..." and "Show Address
    // Book" wait for the change to be applied.
    void choose(int type);
    // Whether "Properties..." and "Show Address Book" take clicks.
    bool bookButtonsEnabled() const { return !m_pending; }

    // Stores the chosen type (none chosen stores 0) and makes that book the current one of the
    // compose window, the gateway and the scheduler, opened, at once; re-enables the buttons.
    // False when the type could not be stored or the book could not be opened (lastErrorText()).
    [[nodiscard]] bool apply(DeskServices& services);
    // Why the last apply failed ("" when it did not).
    const std::string& lastErrorText() const { return m_lastErrorText; }

private:
    int m_type = noType;
    bool m_pending = false;
    std::string m_lastErrorText;
};
