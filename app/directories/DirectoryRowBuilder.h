#pragma once

#include "directories/DirectoryRow.h"

#include <cstddef>
#include <string_view>
#include <vector>

// Builds the rows of a search from the attributes of its entries in the order the server
// sends them: "cn" inserts a row at the current index (a row already there moves down), "mail"
// and "pager" fill the row at the current index (when there is one), and "pager" then advances
// the index. Names
// compare exactly, so "CN" or "Mail" are not shown; an entry without a pager therefore ends up
// below the rows of later entries.
class DirectoryRowBuilder final
{
public:
    // Takes one attribute of the current entry with its first value.
    void attribute(std::string_view name, std::string_view firstValue);
    // The rows built so far.
    const std::vector<DirectoryRow>& rows() const { return m_rows; }
    // Hands the rows over and starts afresh.
    std::vector<DirectoryRow> take();

private:
    DirectoryRow* current();

    std::vector<DirectoryRow> m_rows;
    std::size_t m_index = 0;
};
