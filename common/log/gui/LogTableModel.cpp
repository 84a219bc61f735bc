#include "log/gui/LogTableModel.h"

#include "log/LogFile.h"

namespace {

QString text(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

LogTableModel::LogTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{ }

void LogTableModel::setRows(std::shared_ptr<const LogIndex> index, std::vector<std::uint32_t> rows)
{
    beginResetModel();
    m_index = std::move(index);
    m_rows = m_index ? std::move(rows) : std::vector<std::uint32_t> {};
    endResetModel();
}

void LogTableModel::clear()
{
    setRows(nullptr, {});
}

std::uint64_t LogTableModel::keyOf(int row) const
{
    return m_index->entry(m_rows[static_cast<std::size_t>(row)]).offset;
}

int LogTableModel::rowOfKey(std::uint64_t key) const
{
    if (!m_index) {
        return -1;
    }
    return static_cast<int>(LogIndex::rowOfKey(*m_index, m_rows, key));
}

QString LogTableModel::rowsText(const std::vector<int>& rows) const
{
    std::string joined;
    for (int row : rows) {
        if (row < 0 || row >= rowCount()) {
            continue;
        }
        joined += m_index->rowText(m_rows[static_cast<std::size_t>(row)]);
        joined += '\n';
    }
    return text(joined);
}

int LogTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int LogTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()
        || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const LogIndex::Entry& entry = m_index->entry(m_rows[static_cast<std::size_t>(index.row())]);
    switch (index.column()) {
    case LevelColumn:
        return text(LogFile::levelName(entry.levelNumber()));
    case TimeColumn:
        return QString::fromStdString(LogIndex::formatTime(entry.time));
    case OriginColumn:
        return text(m_index->tag(entry));
    case MessageColumn:
        return text(m_index->message(entry));
    default:
        return {};
    }
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case LevelColumn:
        return QStringLiteral("Level");
    case TimeColumn:
        return QStringLiteral("Time");
    case OriginColumn:
        return QStringLiteral("Origin");
    case MessageColumn:
        return QStringLiteral("Message");
    default:
        return {};
    }
}
