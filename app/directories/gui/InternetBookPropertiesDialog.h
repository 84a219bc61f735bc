#pragma once

#include <QDialog>

class AddressBookSelection;
class QLineEdit;
class QPushButton;

// The Internet address book's properties: the folder of its vCard files (`internetAdb`). OK,
// enabled by an edit or a browse, uses the folder and re-opens the current book.
class InternetBookPropertiesDialog final : public QDialog
{
    Q_OBJECT

public:
    // A dialog over the program's books.
    explicit InternetBookPropertiesDialog(AddressBookSelection& books, QWidget* parent = nullptr);

    // The options sheet's "Properties..." for the Internet book; true when OK applied it.
    static bool run(QWidget* parent, AddressBookSelection& books);

    // OK: uses the folder; a refused folder is said and the dialog stays.
    void accept() override;

private:
    void browse();

    AddressBookSelection& m_books;
    QLineEdit* m_folder;
    QPushButton* m_ok;
};
