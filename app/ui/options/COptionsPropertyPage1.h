#pragma once

#include "ui/options/OptionsPage.h"

class QCheckBox;

// "General": the three flags of the group "Recipients" that rule how recipients are entered.
class COptionsPropertyPage1 final : public OptionsPage
{
    Q_OBJECT

public:
    // A page showing the stored flags once it is first shown.
    explicit COptionsPropertyPage1(QWidget* parent = nullptr);
    Help help() const override { return {0x20000 + 201, "HIDD_OPTIONS_GENERAL"}; }

protected:
    void loadValues() override;
    void applyValues() override;

private:
    QCheckBox* m_warning;
    QCheckBox* m_completion;
    QCheckBox* m_check;
};
