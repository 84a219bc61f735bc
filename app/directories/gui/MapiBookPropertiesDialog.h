#pragma once

#include <QDialog>

class AddressBookSelection;
class QCheckBox;
class QComboBox;

// The "MAPI Address Book Properties" dialog: "Prompt user for profile on startup" and
// "Profile to use on startup" (the list holds "Default" only). OK stores both and re-opens
// the current book.
class MapiBookPropertiesDialog final : public QDialog
{
    Q_OBJECT

public:
    // A dialog over the program's books.
    explicit MapiBookPropertiesDialog(AddressBookSelection& books, QWidget* parent = nullptr);

    // The options sheet's "Properties..." for the MAPI book; true when OK applied it.
    static bool run(QWidget* parent, AddressBookSelection& books);

    // OK: stores the two values and re-opens the current book.
    void accept() override;

private:
    AddressBookSelection& m_books;
    QCheckBox* m_prompt;
    QComboBox* m_profile;
};
