#pragma once

#include <QDialog>

class AddressBookSelection;
class QCheckBox;
class QLineEdit;
class QPushButton;

// The "Simple Address Book Properties" dialog: the database file (or data source) of the
// simple book. OK, enabled by an edit or a browse, uses the path and re-opens the current book.
class SimpleBookPropertiesDialog final : public QDialog
{
    Q_OBJECT

public:
    // A dialog over the program's books.
    explicit SimpleBookPropertiesDialog(AddressBookSelection& books, QWidget* parent = nullptr);

    // The options sheet's "Properties..." for the simple book; true when OK applied it.
    static bool run(QWidget* parent, AddressBookSelection& books);

    // OK: uses the path; a refused path is said and the dialog stays.
    void accept() override;

private:
    void browse();

    AddressBookSelection& m_books;
    QLineEdit* m_path;
    QCheckBox* m_dataSource;
    QPushButton* m_ok;
};
