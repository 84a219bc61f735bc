#pragma once

// The "General" page's values: the three flags of the recipient entry, read from and written to
// the General key (HKEY_CURRENT_USER).
struct GeneralOptionsForm
{
    bool disableAddrWarning = false;
    bool disableAddrCompletion = false;
    bool disableAddrCheck = false;

    // The stored flags (missing values read 0).
    static GeneralOptionsForm load();
    // Writes all three flags; false when the settings store could not be written.
    [[nodiscard]] bool apply() const;
};
