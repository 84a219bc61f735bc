#pragma once

#include "directories/AddressBookForm.h"

#include <QDialog>

#include <optional>

class QLineEdit;

// The plain entry dialog of the "Address Book": an entry's name and pager information as text.
// The desktop program hands the "Address Book" its "Add Recipient" dialog instead; this one
// serves where none is given.
class AddressEntryDialog final : public QDialog
{
    Q_OBJECT

public:
    // A dialog showing `preset`; when `editing`, the name is fixed.
    AddressEntryDialog(const AddressBookForm::Entry& preset, bool editing,
                       QWidget* parent = nullptr);

    // What the fields hold.
    AddressBookForm::Entry entry() const;
    // Runs the dialog; the entry on OK.
    static std::optional<AddressBookForm::Entry>
    run(QWidget* parent, const AddressBookForm::Entry& preset, bool editing);

private:
    QLineEdit* m_name;
    QLineEdit* m_pagerInfo;
};
