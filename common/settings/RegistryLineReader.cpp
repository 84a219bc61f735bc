#include "settings/RegistryLineReader.h"

#include "settings/RegistryText.h"

namespace {

bool startsValue(std::string_view trimmed)
{
    return !trimmed.empty() && (trimmed.front() == '"' || trimmed.front() == '@');
}

} // namespace

bool RegistryLineReader::joinsNext(std::string_view raw)
{
    const std::size_t lastBreak = raw.rfind('\n');
    const std::string_view last
        = RegistryText::trim(lastBreak == std::string_view::npos ? raw : raw.substr(lastBreak + 1));
    return startsValue(RegistryText::trim(raw)) && !last.empty() && last.back() == '\\';
}

bool RegistryLineReader::next(Line& line)
{
    if (m_position >= m_text.size()) {
        return false;
    }
    const std::string_view first = physical();
    line.number = m_number;
    line.raw.assign(first);
    line.cut = false;
    std::string_view trimmed = RegistryText::trim(first);
    if (!startsValue(trimmed) || trimmed.back() != '\\') {
        line.text.assign(first);
        return true;
    }
    // Long hex values continue over lines that end in a backslash. A line that starts a
    // section, a value or a comment, a blank line and the end of the text all cut it.
    line.text.assign(trimmed.substr(0, trimmed.size() - 1));
    for (;;) {
        const std::size_t savedPosition = m_position;
        const int savedNumber = m_number;
        if (m_position >= m_text.size()) {
            line.cut = true;
            return true;
        }
        const std::string_view next = physical();
        trimmed = RegistryText::trim(next);
        if (trimmed.empty() || trimmed.front() == '[' || trimmed.front() == ';'
            || startsValue(trimmed)) {
            m_position = savedPosition;
            m_number = savedNumber;
            line.cut = true;
            return true;
        }
        line.raw += "\r\n";
        line.raw += next;
        if (trimmed.back() != '\\') {
            line.text += trimmed;
            return true;
        }
        line.text += trimmed.substr(0, trimmed.size() - 1);
    }
}

std::string_view RegistryLineReader::physical()
{
    const std::size_t end = m_text.find_first_of("\r\n", m_position);
    ++m_number;
    if (end == std::string_view::npos) {
        const std::string_view line = m_text.substr(m_position);
        m_position = m_text.size();
        return line;
    }
    const std::string_view line = m_text.substr(m_position, end - m_position);
    m_position = end + 1;
    if (m_text[end] == '\r' && m_position < m_text.size() && m_text[m_position] == '\n') {
        ++m_position;
    }
    return line;
}
