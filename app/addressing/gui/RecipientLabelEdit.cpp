#include "addressing/gui/RecipientLabelEdit.h"

#include "addressing/RecipientListForm.h"

#include <QKeyEvent>

RecipientLabelEdit::RecipientLabelEdit(Completer completer, QWidget* parent)
    : QLineEdit(parent)
    , m_completer(std::move(completer))
{
    setMaxLength(static_cast<int>(RecipientListForm::maxEntryLength));
}

void RecipientLabelEdit::keyPressEvent(QKeyEvent* event)
{
    QLineEdit::keyPressEvent(event);
    // Only characters complete: after a deletion or a cursor move the text stays as it is.
    const QString typed = event->text();
    if (typed.size() == 1 && typed.front().unicode() >= 32 && typed.front().unicode() <= 127)
        complete();
}

void RecipientLabelEdit::complete()
{
    const QString typed = text();
    if (!m_completer || hasSelectedText() || cursorPosition() != typed.size())
        return;
    const std::optional<QString> name = m_completer(typed);
    if (!name || name->size() <= typed.size() || !name->startsWith(typed, Qt::CaseInsensitive))
        return;
    setText(*name);
    // The cursor ends at the name's end, the typed part stays unselected.
    setSelection(static_cast<int>(typed.size()), static_cast<int>(name->size() - typed.size()));
}
