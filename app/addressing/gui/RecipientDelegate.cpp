#include "addressing/gui/RecipientDelegate.h"

#include <QKeyEvent>

namespace {

constexpr const char* rowProperty = "recipientRow";

} // namespace

RecipientDelegate::RecipientDelegate(RecipientLabelEdit::Completer completer, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_completer(std::move(completer))
{
    // Connected before any view connects, so it runs while the editor still holds its text.
    connect(this, &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
                const auto* edit = qobject_cast<QLineEdit*>(editor);
                if (!edit)
                    return;
                Q_EMIT editEnded(edit->property(rowProperty).toInt(), edit->text(),
                                 hint == QAbstractItemDelegate::RevertModelCache);
            });
}

QWidget* RecipientDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex& index) const
{
    auto* edit = new RecipientLabelEdit(m_completer, parent);
    edit->setObjectName(QStringLiteral("labelEdit"));
    edit->setFrame(false);
    edit->setProperty(rowProperty, index.row());
    return edit;
}

void RecipientDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* edit = qobject_cast<QLineEdit*>(editor))
        edit->setText(index.data(Qt::EditRole).toString());
}

void RecipientDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const
{
    // The list's rules take the text through editEnded.
}

bool RecipientDelegate::eventFilter(QObject* object, QEvent* event)
{
    // Tab ends the edit as Enter does, instead of opening the next item's label.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            auto* editor = qobject_cast<QWidget*>(object);
            Q_EMIT commitData(editor);
            Q_EMIT closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
