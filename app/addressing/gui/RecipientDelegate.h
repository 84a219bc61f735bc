#pragma once

#include "addressing/gui/RecipientLabelEdit.h"

#include <QStyledItemDelegate>

// The label edits of the recipient list: a completing editor, and one signal when an edit ends
// (committed or cancelled). It never writes the model: the list's rules decide what an item
// becomes.
class RecipientDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    RecipientDelegate(RecipientLabelEdit::Completer completer, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

Q_SIGNALS:
    // The edit of item `row` ended with `text`; `cancelled` when Escape ended it. Emitted while
    // the view still holds the editor: handle it after the event that caused it.
    void editEnded(int row, const QString& text, bool cancelled);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    RecipientLabelEdit::Completer m_completer;
};
