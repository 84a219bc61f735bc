#pragma once

#include "ui/options/OptionsPage.h"

class QListWidget;
class QPushButton;

// "Protocols": the installed protocol drivers, each showing its own settings window through
// "Properties". Nothing is stored by the page itself.
class COptionsPropertyPage2 final : public OptionsPage
{
    Q_OBJECT

public:
    // A page listing the two drivers, the first one selected.
    explicit COptionsPropertyPage2(QWidget* parent = nullptr);
    Help help() const override { return {0x20000 + 202, "HIDD_OPTIONS_PROTOCOLS"}; }

    // Creates the selected driver's control (hidden), lets it show its settings window and
    // destroys it; a driver that cannot be created is shown with the reason.
    void showDriverProperties();

protected:
    void loadValues() override { }
    void applyValues() override { }

private:
    QListWidget* m_drivers;
    QPushButton* m_properties;
};
