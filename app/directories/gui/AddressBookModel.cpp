#include "directories/gui/AddressBookModel.h"

AddressBookModel::AddressBookModel(QObject* parent)
    : QAbstractTableModel(parent)
{ }

void AddressBookModel::setRows(std::vector<AddressBookForm::Entry> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

const AddressBookForm::Entry& AddressBookModel::entry(int row) const
{
    return m_rows.at(static_cast<std::size_t>(row));
}

int AddressBookModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int AddressBookModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant AddressBookModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rowCount()) {
        return {};
    }
    const AddressBookForm::Entry& row = m_rows[static_cast<std::size_t>(index.row())];
    // Converted when shown: only the rows on screen are ever turned into Qt text.
    return QString::fromStdString(index.column() == 0 ? row.name : row.pagerInfo);
}

QVariant AddressBookModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return section == 0 ? QStringLiteral("Name") : QStringLiteral("Pager Information");
}
