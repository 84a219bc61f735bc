#pragma once

#include "directories/AddressBookForm.h"

#include <QAbstractTableModel>

#include <vector>

// The rows of the "Address Book" list ("Name", "Pager Information") for a view: the entries
// are handed over in one piece, so a big book is shown without a widget per row.
class AddressBookModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit AddressBookModel(QObject* parent = nullptr);

    // Replaces every row.
    void setRows(std::vector<AddressBookForm::Entry> rows);
    // The entry of a row.
    const AddressBookForm::Entry& entry(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<AddressBookForm::Entry> m_rows;
};
