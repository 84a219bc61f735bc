#pragma once

#include "directories/AddressBookForm.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class AddressBook;
class AddressBookModel;
class AddressBookSelection;
class QLabel;
class QPushButton;
class QTreeView;

// The "Address Book" dialog over the current book: the list ("Name", "Pager Information"),
// "&Add", "&Delete", "&Properties", "&Select", "&Close" and "&Help" and a note line. Managing
// edits the book; selecting ("Address Book - selecting recipients") hands back the chosen
// names. A book that cannot be edited shows as read-only with the editing buttons disabled.
class AddressBookDialog final : public QDialog
{
    Q_OBJECT

public:
    using Entry = AddressBookForm::Entry;
    // The entry dialog: shows `preset` (with the name fixed when `editing`) and gives what
    // the user accepted, or nothing on Cancel.
    using EntryEditor
        = std::function<std::optional<Entry>(QWidget* parent, const Entry& preset, bool editing)>;

    // The dialog's help topic.
    static constexpr std::uint32_t helpContext = 0x20000 + 132;

    // A dialog over `book` (null: none current) in `mode`; entries are edited in `editor`
    // (empty: the plain AddressEntryDialog).
    AddressBookDialog(AddressBook* book, AddressBookForm::Mode mode, QWidget* parent = nullptr,
                      EntryEditor editor = {});
    ~AddressBookDialog() override;

    // Managing the current book (the options sheet, the compose window's address-book button).
    static void manage(QWidget* parent, AddressBookSelection& books, EntryEditor editor = {});
    // Choosing recipients from the current book: the chosen names, each followed by ";", or
    // nothing when the user cancelled.
    static std::optional<std::string> select(QWidget* parent, AddressBookSelection& books,
                                             EntryEditor editor = {});

    // The names chosen by "&Select", each followed by ";".
    const std::string& result() const { return m_result; }

    // Fills the list from the book again.
    void fill();
    // "&Add".
    void addEntry();
    // "&Properties": the first selected entry in the entry dialog.
    void changeEntry();
    // "&Delete": the selected entries, each confirmed.
    void deleteEntries();
    // "&Select": the selected entries with pager information.
    void selectEntries();

    QTreeView* list() const { return m_list; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<Entry> selectedEntries() const;
    void selectionChanged();
    void doubleClicked();
    void showFailure(const AddressBookForm::Stored& stored);
    std::optional<Entry> editEntry(const Entry& preset, bool editing);

    AddressBookForm m_form;
    EntryEditor m_editor;
    AddressBookModel* m_model;
    QTreeView* m_list;
    QLabel* m_note;
    QPushButton* m_add;
    QPushButton* m_delete;
    QPushButton* m_properties;
    QPushButton* m_select;
    std::string m_result;
};
