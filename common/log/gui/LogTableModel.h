#pragma once

#include "log/LogIndex.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <memory>
#include <vector>

// The log viewer's four columns ("Level", "Time", "Origin", "Message") over a loaded LogIndex:
// a row is a position in the index, and texts are made only for the rows on screen.
class LogTableModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The columns in order.
    enum Column { LevelColumn, TimeColumn, OriginColumn, MessageColumn, ColumnCount };

    // An empty list.
    explicit LogTableModel(QObject* parent = nullptr);

    // Shows `rows` (positions in `index`, newest first as LogIndex::select gives them).
    void setRows(std::shared_ptr<const LogIndex> index, std::vector<std::uint32_t> rows);
    // Shows nothing and lets the index go.
    void clear();

    // The index shown (null when none).
    const std::shared_ptr<const LogIndex>& logIndex() const { return m_index; }
    // The key of the entry on a row (its place in the file), stable across readings of a log
    // that has only grown.
    std::uint64_t keyOf(int row) const;
    // The row showing the entry with that key, or -1.
    int rowOfKey(std::uint64_t key) const;
    // The rows as text for the clipboard: one line per row, columns separated by tabs.
    QString rowsText(const std::vector<int>& rows) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::shared_ptr<const LogIndex> m_index;
    std::vector<std::uint32_t> m_rows;
};
