#pragma once

#include "services/AddressBookOptionsForm.h"
#include "ui/options/OptionsPage.h"

class DeskServices;
class QButtonGroup;
class QPushButton;
struct OptionsWindows;

// "Address Book": which address book the program uses, its properties, the book itself and the
// paging service providers. Applying a new type switches the program's book at once.
class COptionsPropertyPage4 final : public OptionsPage
{
    Q_OBJECT

public:
    // A page switching the book of `services` and opening windows through `windows`; both
    // must outlive it.
    COptionsPropertyPage4(DeskServices& services, const OptionsWindows& windows,
                          QWidget* parent = nullptr);
    Help help() const override { return {0x20000 + 204, "HIDD_OPTIONS_ADDRESSBOOK"}; }

protected:
    void loadValues() override;
    void applyValues() override;

private:
    void choose(int type);
    void showButtons();

    DeskServices& m_services;
    const OptionsWindows& m_windows;
    AddressBookOptionsForm m_form;
    QButtonGroup* m_types;
    QPushButton* m_properties;
    QPushButton* m_show;
};
