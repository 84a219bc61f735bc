#include "directories/DirectoryRowBuilder.h"

#include <algorithm>
#include <utility>

void DirectoryRowBuilder::attribute(std::string_view name, std::string_view firstValue)
{
    // The first value of each counts, as the list shows one.
    if (name == "cn" && !m_name)
        m_name = std::string(firstValue);
    else if (name == "mail" && m_mail.empty())
        m_mail = firstValue;
    else if (name == "pager" && !m_pager)
        m_pager = std::string(firstValue);
}

void DirectoryRowBuilder::endEntry()
{
    if (m_name) {
        // A row already at the index moves down, as the list control's insert does.
        const std::size_t at = std::min(m_index, m_rows.size());
        m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(at),
                      DirectoryRow {std::move(*m_name), std::move(m_mail), m_pager.value_or("")});
        if (m_pager)
            m_index = at + 1;
    }
    m_name.reset();
    m_mail.clear();
    m_pager.reset();
}

std::vector<DirectoryRow> DirectoryRowBuilder::take()
{
    endEntry();
    m_index = 0;
    return std::exchange(m_rows, {});
}
