#pragma once

#include "directories/DirectoryRow.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Builds the rows of a search entry by entry: an entry's "cn" inserts a row at the current
// index (a row already there moves down), its "mail" and "pager" fill that row, and a "pager"
// then advances the index. Names compare exactly, so "CN" or "Mail" are not shown, and an
// entry without a pager ends up below the rows of later entries. An entry's attributes are
// taken together whatever order the server sends them in, so one entry's mail and pager never
// land in another entry's row; an entry without "cn" shows nothing.
class DirectoryRowBuilder final
{
public:
    // Takes one attribute of the current entry with its first value.
    void attribute(std::string_view name, std::string_view firstValue);
    // Ends the current entry, adding its row.
    void endEntry();
    // The rows built so far (the current entry's once it has ended).
    const std::vector<DirectoryRow>& rows() const { return m_rows; }
    // Ends the current entry, hands the rows over and starts afresh.
    std::vector<DirectoryRow> take();

private:
    std::vector<DirectoryRow> m_rows;
    std::size_t m_index = 0;
    std::optional<std::string> m_name;
    std::string m_mail;
    std::optional<std::string> m_pager;
};
