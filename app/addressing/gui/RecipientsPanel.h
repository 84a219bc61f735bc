#pragma once

#include <QIcon>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <string>

class AddressBook;
class DeskPrompt;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class RecipientListForm;
class UserPrompt;

// The recipients panel of the compose window: the recipient list with its entry pictures above
// the message text, and the small buttons beside them. Every rule is the form's; the panel shows
// the form and hands gestures to it. The address check asks through message boxes.
class RecipientsPanel final : public QWidget
{
    Q_OBJECT

public:
    // The item data role that holds an entry's picture number (0 to 5).
    static constexpr int pictureRole = Qt::UserRole;

    // A panel showing `form`, which must outlive it; the form's flags are read from the settings.
    // The form's check asks through the panel's boxes while the panel lives.
    explicit RecipientsPanel(RecipientListForm& form, QWidget* parent = nullptr);
    ~RecipientsPanel() override;

    // The address book that checks, completion and the dialog use from now on.
    void setAddressBook(AddressBook* book);
    // Shows the form's items and message again, after the form changed from outside.
    void refresh();
    // Hands the message field's text to the form (the field also does so on every change).
    void syncMessage();
    // The "Add Recipient" dialog; on OK the address, or the name stored in the address book, is
    // added with checks and the message text takes the focus.
    void addRecipientDialog();
    // Adds an entry with checks (as the dialogs do) and selects it; false when it was refused.
    bool addEntry(const QString& text);
    // "Select recipient from Address Book": the current book in selecting mode; on OK each
    // chosen name is added with checks. Answers whether the user chose with OK.
    bool selectFromAddressBook();
    // Adds each address or name of a list separated by ";" with checks.
    void addEntries(const std::string& list);

    QListWidget* list() const { return m_list; }
    QPlainTextEdit* messageEdit() const { return m_message; }

Q_SIGNALS:
    // Enter in the message text, or anywhere in the panel outside a label edit.
    void sendRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void insertRecipient();
    void removeSelected();
    void clearList();
    void finishEdit(int row, const QString& text, bool cancelled);
    void itemDoubleClicked(QListWidgetItem* item);
    void selectRow(int row);
    // The names chosen in the current book's selecting dialog, each followed by ";".
    std::optional<std::string> chooseFromBook();

    RecipientListForm& m_form;
    // The prompt the panel gave a form that had none.
    std::unique_ptr<DeskPrompt> m_prompt;
    std::array<QIcon, 6> m_pictures;
    QListWidget* m_list;
    QPlainTextEdit* m_message;
};
