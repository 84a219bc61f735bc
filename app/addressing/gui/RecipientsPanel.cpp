#include "addressing/gui/RecipientsPanel.h"

#include "addressing/AddressGrammar.h"
#include "addressing/AddressParser.h"
#include "addressing/RecipientListForm.h"
#include "addressing/gui/AddRecipientDialog.h"
#include "addressing/gui/BookEntryEditor.h"
#include "addressing/gui/RecipientDelegate.h"
#include "directories/AddressBook.h"
#include "directories/AddressBookForm.h"
#include "directories/gui/AddressBookDialog.h"
#include "directories/gui/DeskPrompt.h"
#include "gui/QtStrings.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

// Resources of a static library are registered by hand, from the global namespace.
static void initAddressingResources()
{
    Q_INIT_RESOURCE(addressing_gui);
}

namespace {

QToolButton* smallButton(const QString& picture, const QString& tip, const char* name)
{
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setIcon(QIcon(QStringLiteral(":/addressing/icons/%1.svg").arg(picture)));
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

// A label, then the buttons at the right end of the row.
QHBoxLayout* headerRow(QLabel* label, std::initializer_list<QToolButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(label);
    row->addStretch();
    for (QToolButton* button : buttons)
        row->addWidget(button);
    return row;
}

bool isEnter(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

RecipientsPanel::RecipientsPanel(RecipientListForm& form, QWidget* parent)
    : QWidget(parent)
    , m_form(form)
{
    initAddressingResources();
    setObjectName(QStringLiteral("recipientsPanel"));
    // The check asks through the form's prompt (the program's own); a form without one gets
    // boxes over this panel for as long as the panel lives.
    if (m_form.prompt() == nullptr) {
        m_prompt = std::make_unique<DeskPrompt>(this);
        m_form.setPrompt(m_prompt.get());
    }
    // The General flags as they are when the panel opens (again after the options sheet).
    m_form.reloadFlags();

    // Picture 0 is an empty one, so that every label starts at the same place.
    QPixmap none(14, 13);
    none.fill(Qt::transparent);
    m_pictures[0] = QIcon(none);
    const char* names[]
        = {"entry-ok", "entry-malformed", "entry-notinbook", "entry-noprotocol", "entry-typing"};
    for (std::size_t kind = 1; kind < m_pictures.size(); ++kind)
        m_pictures[kind] = QIcon(QStringLiteral(":/addressing/icons/%1.svg").arg(names[kind - 1]));

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("recipientList"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_list->setIconSize(QSize(14, 13));
    m_list->setUniformItemSizes(true);
    auto* delegate = new RecipientDelegate(
        [this](const QString& typed) -> std::optional<QString> {
            const std::optional<std::string> name = m_form.complete(typed.toStdString());
            if (!name)
                return std::nullopt;
            return fromStd(*name);
        },
        m_list);
    m_list->setItemDelegate(delegate);
    m_list->installEventFilter(this);

    m_message = new QPlainTextEdit;
    m_message->setObjectName(QStringLiteral("messageEdit"));
    m_message->setTabChangesFocus(true);
    m_message->installEventFilter(this);

    auto* listLabel = new QLabel(tr("&Recipients"));
    listLabel->setBuddy(m_list);
    auto* messageLabel = new QLabel(tr("&Message"));
    messageLabel->setBuddy(m_message);
    QToolButton* add
        = smallButton(QStringLiteral("recipient-add"), tr("Add Recipient"), "addRecipientButton");
    QToolButton* remove = smallButton(QStringLiteral("recipient-delete"),
                                      tr("Delete Selected Recipients"), "deleteRecipientButton");
    QToolButton* clear
        = smallButton(QStringLiteral("list-clear"), tr("Clear Recipient List"), "clearListButton");
    QToolButton* clearMessage
        = smallButton(QStringLiteral("clear"), tr("Clear Message"), "clearMessageButton");

    // The list takes the upper half and the message the lower half, whatever the size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(headerRow(listLabel, {add, remove, clear}));
    layout->addWidget(m_list, 1);
    layout->addSpacing(4);
    layout->addLayout(headerRow(messageLabel, {clearMessage}));
    layout->addWidget(m_message, 1);

    connect(add, &QToolButton::clicked, this, &RecipientsPanel::addRecipientDialog);
    connect(remove, &QToolButton::clicked, this, &RecipientsPanel::removeSelected);
    connect(clear, &QToolButton::clicked, this, &RecipientsPanel::clearList);
    connect(clearMessage, &QToolButton::clicked, m_message, &QPlainTextEdit::clear);
    connect(m_message, &QPlainTextEdit::textChanged, this, &RecipientsPanel::syncMessage);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &RecipientsPanel::itemDoubleClicked);
    // The view still holds the editor when the edit ends: the form changes after that.
    connect(delegate, &RecipientDelegate::editEnded, this,
            [this](int row, const QString& text, bool cancelled) {
                QTimer::singleShot(
                    0, this, [this, row, text, cancelled] { finishEdit(row, text, cancelled); });
            });

    refresh();
}

RecipientsPanel::~RecipientsPanel()
{
    if (m_prompt)
        m_form.setPrompt(nullptr);
}

void RecipientsPanel::setAddressBook(AddressBook* book)
{
    m_form.setAddressBook(book);
}

void RecipientsPanel::refresh()
{
    m_list->clear();
    for (const RecipientListForm::Item& entry : m_form.items()) {
        const int picture
            = entry.picture >= 0 && entry.picture < int(m_pictures.size()) ? entry.picture : 0;
        auto* item = new QListWidgetItem(m_pictures[std::size_t(picture)], fromStd(entry.text));
        item->setData(pictureRole, picture);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        m_list->addItem(item);
    }
    const QString message = fromStd(m_form.message());
    if (m_message->toPlainText() != message)
        m_message->setPlainText(message);
}

void RecipientsPanel::syncMessage()
{
    m_form.setMessage(m_message->toPlainText().toStdString());
}

void RecipientsPanel::selectRow(int row)
{
    if (row < 0 || row >= m_list->count())
        return;
    m_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    m_list->scrollToItem(m_list->item(row));
}

bool RecipientsPanel::addEntry(const QString& text)
{
    const int position = m_form.add(text.toStdString(), false);
    refresh();
    selectRow(position - 1);
    return position > 0;
}

std::optional<std::string> RecipientsPanel::chooseFromBook()
{
    AddressBookDialog dialog(m_form.addressBook(), AddressBookForm::Mode::Selecting, this,
                             BookEntryEditor::make(m_form.providers()));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.result();
}

bool RecipientsPanel::selectFromAddressBook()
{
    const std::optional<std::string> names = chooseFromBook();
    if (!names)
        return false;
    addEntries(*names);
    return true;
}

void RecipientsPanel::addEntries(const std::string& list)
{
    for (const std::string& entry : AddressBookForm::splitNames(list))
        (void)addEntry(QString::fromStdString(entry));
}

void RecipientsPanel::addRecipientDialog()
{
    AddressBook* book = m_form.addressBook();
    AddRecipientDialog dialog(AddRecipientForm::forNew(!book || book->isDisabled()),
                              m_form.providers(), book, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const AddRecipientForm::Accepted& entry = dialog.accepted();
    addEntry(fromStd(dialog.addedToBook() ? entry.name : entry.address));
    m_message->setFocus();
}

void RecipientsPanel::insertRecipient()
{
    const int row = static_cast<int>(m_form.insertNew());
    refresh();
    selectRow(row);
    m_list->editItem(m_list->item(row));
}

void RecipientsPanel::removeSelected()
{
    std::vector<std::size_t> rows;
    for (const QListWidgetItem* item : m_list->selectedItems())
        rows.push_back(static_cast<std::size_t>(m_list->row(item)));
    m_form.remove(std::move(rows));
    refresh();
}

void RecipientsPanel::clearList()
{
    m_form.clear();
    refresh();
}

void RecipientsPanel::finishEdit(int row, const QString& text, bool cancelled)
{
    if (row < 0)
        return;
    // A cancelled edit ends as an empty one: a new item goes, an existing one stays as it was.
    const bool taken
        = m_form.endEdit(static_cast<std::size_t>(row), cancelled ? "" : text.toStdString());
    refresh();
    if (taken)
        selectRow(row);
}

void RecipientsPanel::itemDoubleClicked(QListWidgetItem* item)
{
    const int row = m_list->row(item);
    const std::string text = item->text().toStdString();
    if (text.empty())
        return;
    if (!AddressGrammar::isAddressWellFormed(text)) {
        // A name: the book's selection replaces it by the chosen names, each with checks.
        const std::optional<std::string> names = chooseFromBook();
        if (!names)
            return;
        const std::vector<std::string> chosen = AddressBookForm::splitNames(*names);
        if (chosen.empty())
            return;
        (void)m_form.endEdit(static_cast<std::size_t>(row), chosen.front());
        refresh();
        selectRow(row);
        for (std::size_t k = 1; k < chosen.size(); ++k)
            (void)addEntry(QString::fromStdString(chosen[k]));
        return;
    }
    AddressParser parser(m_form.providers());
    PagerAddress address;
    if (!parser.parseAddress(text, address, false))
        return;
    AddRecipientDialog dialog(AddRecipientForm::forEdit(address), m_form.providers(), nullptr,
                              this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_form.endEdit(static_cast<std::size_t>(row), dialog.accepted().address);
    refresh();
    selectRow(row);
}

bool RecipientsPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_message && isEnter(key)) {
        // The message text takes no line breaks: Enter sends.
        Q_EMIT sendRequested();
        return true;
    }
    // While a label is edited its editor has the focus and its keys are its own.
    if (watched == m_list && m_list->hasFocus()) {
        if (key->key() == Qt::Key_Insert) {
            insertRecipient();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            removeSelected();
            return true;
        }
        if (key->key() == Qt::Key_Plus && (key->modifiers() & Qt::KeypadModifier)) {
            addRecipientDialog();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RecipientsPanel::keyPressEvent(QKeyEvent* event)
{
    // What the children leave: Enter sends, Escape does nothing (the window stays open).
    if (isEnter(event)) {
        Q_EMIT sendRequested();
        return;
    }
    if (event->key() == Qt::Key_Escape)
        return;
    QWidget::keyPressEvent(event);
}
