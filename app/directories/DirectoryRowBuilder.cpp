#include "directories/DirectoryRowBuilder.h"

#include <algorithm>
#include <utility>

void DirectoryRowBuilder::attribute(std::string_view name, std::string_view firstValue)
{
    if (name == "cn") {
        // A row already at the index moves down, as the list control's insert does; past the
        // end the row is appended.
        const std::size_t at = std::min(m_index, m_rows.size());
        m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(at),
                      DirectoryRow {std::string(firstValue), {}, {}});
    } else if (name == "mail") {
        if (DirectoryRow* row = current()) {
            row->mail = firstValue;
        }
    } else if (name == "pager") {
        if (DirectoryRow* row = current()) {
            row->pager = firstValue;
        }
        ++m_index;
    }
}

DirectoryRow* DirectoryRowBuilder::current()
{
    // Setting a column of a row the list does not have changes nothing.
    return m_index < m_rows.size() ? &m_rows[m_index] : nullptr;
}

std::vector<DirectoryRow> DirectoryRowBuilder::take()
{
    m_index = 0;
    return std::exchange(m_rows, {});
}
