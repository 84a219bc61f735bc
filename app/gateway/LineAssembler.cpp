#include "gateway/LineAssembler.h"

#include <utility>

bool LineAssembler::push(char byte)
{
    if (m_complete) {
        // The completed line must be taken first, or its end would move.
        return true;
    }
    if (byte == '\0' || byte == '\n' || byte == '\r') {
        m_complete = !m_line.empty();
        return m_complete;
    }
    m_line += byte;
    m_complete = m_line.size() >= maxLength;
    return m_complete;
}

std::string LineAssembler::takeLine()
{
    std::string line = std::move(m_line);
    m_line.clear();
    m_complete = false;
    return line;
}
