#include "directories/gui/AddressBookDialog.h"

#include "directories/AddressBook.h"
#include "directories/AddressBookSelection.h"
#include "directories/gui/AddressBookModel.h"
#include "directories/gui/AddressEntryDialog.h"
#include "gui/DialogButtons.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"
#include "gui/QtStrings.h"
#include "sending/gui/MessageDialog.h"
#include "text/StringTable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// A message of the string table as the address book shows it: the message dialog with its help.
void showMessageId(QWidget* parent, int id)
{
    MessageDialog::run(id, fromStd(StringTable::helpKey(id)), QStringLiteral("main"), parent);
}

} // namespace

AddressBookDialog::AddressBookDialog(AddressBook* book, AddressBookForm::Mode mode, QWidget* parent,
                                     EntryEditor editor)
    : QDialog(parent)
    , m_form(book, mode)
    , m_editor(editor ? std::move(editor) : EntryEditor(&AddressEntryDialog::run))
    , m_model(new AddressBookModel(this))
    , m_list(new QTreeView(this))
    , m_note(new QLabel(this))
{
    setWindowTitle(fromStd(m_form.caption()));
    m_list->setObjectName(QStringLiteral("entryList"));
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_list->setMinimumSize(380, 220);
    m_list->installEventFilter(this);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AddressBookDialog::selectionChanged);
    connect(m_list, &QTreeView::doubleClicked, this, &AddressBookDialog::doubleClicked);
    m_note->setObjectName(QStringLiteral("noteLabel"));
    m_note->setText(fromStd(m_form.note()));

    m_add = DialogButtons::named(QStringLiteral("&Add"), "addButton", this);
    m_delete = DialogButtons::named(QStringLiteral("&Delete"), "deleteButton", this);
    m_properties = DialogButtons::named(QStringLiteral("&Properties"), "propertiesButton", this);
    m_select = DialogButtons::named(QStringLiteral("&Select"), "selectButton", this);
    auto* close = DialogButtons::named(fromStd(m_form.closeText()), "closeButton", this);
    auto* help = DialogButtons::named(QStringLiteral("&Help"), "helpButton", this);
    m_select->setVisible(m_form.selectVisible());
    m_select->setDefault(m_form.selectVisible());
    connect(m_add, &QPushButton::clicked, this, &AddressBookDialog::addEntry);
    connect(m_delete, &QPushButton::clicked, this, &AddressBookDialog::deleteEntries);
    connect(m_properties, &QPushButton::clicked, this, &AddressBookDialog::changeEntry);
    connect(m_select, &QPushButton::clicked, this, &AddressBookDialog::selectEntries);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this,
            [this] { (void)HelpTopics::open(this, helpContext); });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* each : {m_add, m_delete, m_properties, m_select}) {
        buttons->addWidget(each);
    }
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addWidget(help);
    auto* left = new QVBoxLayout;
    left->addWidget(m_list, 1);
    left->addWidget(m_note);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    m_list->setFocus();
    fill();
}

AddressBookDialog::~AddressBookDialog() = default;

void AddressBookDialog::manage(QWidget* parent, AddressBookSelection& books, EntryEditor editor)
{
    AddressBookDialog dialog(books.current(), AddressBookForm::Mode::Managing, parent,
                             std::move(editor));
    dialog.exec();
}

std::optional<std::string> AddressBookDialog::select(QWidget* parent, AddressBookSelection& books,
                                                     EntryEditor editor)
{
    AddressBookDialog dialog(books.current(), AddressBookForm::Mode::Selecting, parent,
                             std::move(editor));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.result();
}

void AddressBookDialog::fill()
{
    std::vector<Entry> rows;
    std::string error;
    if (!m_form.fill(rows, error)) {
        MessageBox::show(this, QMessageBox::Warning, windowTitle(),
                         QStringLiteral("Cannot list the address book:\n") + fromStd(error));
    }
    m_model->setRows(std::move(rows));
    const bool editable = m_form.editable();
    m_add->setEnabled(editable);
    m_select->setEnabled(m_form.selectable());
    // Every filling starts without a selection, so these wait for a click.
    m_delete->setEnabled(false);
    m_properties->setEnabled(false);
}

std::vector<AddressBookDialog::Entry> AddressBookDialog::selectedEntries() const
{
    std::vector<Entry> entries;
    QModelIndexList rows = m_list->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& row : rows) {
        entries.push_back(m_model->entry(row.row()));
    }
    return entries;
}

void AddressBookDialog::selectionChanged()
{
    const bool any = m_list->selectionModel()->hasSelection();
    const bool editable = m_form.editable();
    m_delete->setEnabled(any && editable);
    m_properties->setEnabled(any && editable);
}

std::optional<AddressBookDialog::Entry> AddressBookDialog::editEntry(const Entry& preset,
                                                                     bool editing)
{
    return m_editor(this, preset, editing);
}

void AddressBookDialog::showFailure(const AddressBookForm::Stored& stored)
{
    if (stored.result == AddressBookForm::Stored::Result::Failed) {
        showMessageId(this, stored.messageId);
    }
}

void AddressBookDialog::addEntry()
{
    if (!m_form.editable()) {
        return;
    }
    Entry typed;
    for (;;) {
        const std::optional<Entry> entry = editEntry(typed, false);
        if (!entry) {
            return;
        }
        typed = *entry;
        const auto stored = m_form.add(typed, [this](const std::string& name) {
            const std::string text
                = StringTable::substitute(AddressBookForm::overwriteText, {name});
            switch (MessageBox::show(
                this, QMessageBox::Warning, windowTitle(), MessageBox::screenText(text),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No)) {
            case QMessageBox::Yes:
                return AddressBookForm::Overwrite::Yes;
            case QMessageBox::No:
                return AddressBookForm::Overwrite::No;
            default:
                return AddressBookForm::Overwrite::Cancel;
            }
        });
        if (stored.result == AddressBookForm::Stored::Result::BackToDialog) {
            continue;
        }
        if (stored.result == AddressBookForm::Stored::Result::Cancelled) {
            return;
        }
        showFailure(stored);
        break;
    }
    fill();
}

void AddressBookDialog::changeEntry()
{
    const std::vector<Entry> selected = selectedEntries();
    if (selected.empty() || !m_form.editable()) {
        return;
    }
    const std::optional<Entry> edited = editEntry(selected.front(), true);
    if (!edited) {
        return;
    }
    showFailure(m_form.change(*edited));
    fill();
}

void AddressBookDialog::deleteEntries()
{
    const std::vector<Entry> selected = selectedEntries();
    if (selected.empty() || !m_form.editable()) {
        return;
    }
    for (const Entry& entry : selected) {
        const std::string text = StringTable::substitute(AddressBookForm::deleteText, {entry.name});
        if (MessageBox::show(this, QMessageBox::Warning, windowTitle(),
                             MessageBox::screenText(text), QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No)
            != QMessageBox::Yes) {
            continue;
        }
        std::string error;
        if (!m_form.remove(entry.name, error)) {
            showMessageId(this, StringId::DeleteEntryFailed);
        }
    }
    fill();
}

void AddressBookDialog::selectEntries()
{
    if (m_form.mode() != AddressBookForm::Mode::Selecting || !m_form.selectable()) {
        return;
    }
    const AddressBookForm::Selection selection = AddressBookForm::select(selectedEntries());
    for (const std::string& name : selection.refused) {
        const std::string text = StringTable::substitute(AddressBookForm::noPagerInfoText, {name});
        MessageBox::show(this, QMessageBox::Warning, windowTitle(), MessageBox::screenText(text));
    }
    if (selection.names.empty()) {
        return;
    }
    m_result = selection.names;
    accept();
}

void AddressBookDialog::doubleClicked()
{
    if (m_form.mode() == AddressBookForm::Mode::Selecting) {
        selectEntries();
    } else {
        changeEntry();
    }
}

void AddressBookDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter in selecting mode is "&Select" (its default button); in managing mode Enter
    // must not close the dialog.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && m_form.mode() == AddressBookForm::Mode::Managing) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool AddressBookDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool keypadPlus
            = key->key() == Qt::Key_Plus && key->modifiers().testFlag(Qt::KeypadModifier);
        if (key->key() == Qt::Key_Insert || keypadPlus) {
            addEntry();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            deleteEntries();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
