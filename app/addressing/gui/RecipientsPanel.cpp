#include "addressing/gui/RecipientsPanel.h"

#include "addressing/RecipientListForm.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QVBoxLayout>

RecipientsPanel::RecipientsPanel(RecipientListForm& form, QWidget* parent)
    : QWidget(parent)
    , m_form(form)
    , m_list(new QListWidget(this))
    , m_message(new QPlainTextEdit(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(m_message);
}

void RecipientsPanel::refresh()
{
    m_list->clear();
    for (const auto& item : m_form.items())
        m_list->addItem(QString::fromStdString(item.text));
    m_message->setPlainText(QString::fromStdString(m_form.message()));
}

void RecipientsPanel::syncMessage()
{
    m_form.setMessage(m_message->toPlainText().toStdString());
}
