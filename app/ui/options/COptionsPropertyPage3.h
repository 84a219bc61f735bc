#pragma once

#include "ui/options/OptionsPage.h"

class DeskServices;
class NumberSpinBox;
class QComboBox;
struct OptionsWindows;

// "Logging": how many sent messages the history keeps, how much is logged, the size shown as
// the auto-purge limit, and the purging of the history and of the log.
class COptionsPropertyPage3 final : public OptionsPage
{
    Q_OBJECT

public:
    // A page purging the history of `services` and opening the log viewer through `windows`;
    // both must outlive it.
    COptionsPropertyPage3(DeskServices& services, const OptionsWindows& windows,
                          QWidget* parent = nullptr);
    Help help() const override { return {0x20000 + 203, "HIDD_OPTIONS_LOGGING"}; }

protected:
    void loadValues() override;
    void applyValues() override;

private:
    void purgeSaved();
    void purgeLog();

    DeskServices& m_services;
    const OptionsWindows& m_windows;
    NumberSpinBox* m_savedCount;
    QComboBox* m_level;
    NumberSpinBox* m_logSize;
};
