#pragma once

#include "sending/ResultRow.h"

#include <cstddef>
#include <string_view>
#include <vector>

// The results of one send: one row per recipient entry, in the order the send settled them
// (first the entries that could not be resolved, in list order, then the transmitted groups
// in address order). Every entry of a send gets a row, so the count is not bounded.
class SendResults
{
public:
    // Adds a row.
    void addRow(std::string_view recipient, ResultStatus status, std::string_view text,
                std::int32_t helpCode);
    // Notes on the latest row the driver's return code of its transmission.
    void setLastReturnCode(std::int32_t returnCode);
    // The rows in the order they were added.
    const std::vector<ResultRow>& rows() const { return m_rows; }
    // The number of rows.
    std::size_t count() const { return m_rows.size(); }
    // Whether no row was added.
    bool empty() const { return m_rows.empty(); }
    // Removes every row.
    void clear() { m_rows.clear(); }

private:
    std::vector<ResultRow> m_rows;
};
