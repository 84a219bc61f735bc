#pragma once

#include <QWidget>

class QListWidget;
class QPlainTextEdit;
class RecipientListForm;

// Stand-in for the recipients panel while it is being built: the list and the message.
class RecipientsPanel final : public QWidget
{
    Q_OBJECT

public:
    RecipientsPanel(RecipientListForm& form, QWidget* parent = nullptr);
    void refresh();
    void syncMessage();
    QListWidget* list() const { return m_list; }
    QPlainTextEdit* messageEdit() const { return m_message; }

Q_SIGNALS:
    void sendRequested();

private:
    RecipientListForm& m_form;
    QListWidget* m_list;
    QPlainTextEdit* m_message;
};
