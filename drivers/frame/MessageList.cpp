#include "MessageList.h"

bool MessageList::add(std::string_view recipient, std::string_view text)
{
    if (count() >= capacity) {
        return false;
    }
    m_entries.push_back(
        Entry {pagerIdFromText(recipient), MessageResult::NotProcessed, std::string(text)});
    return true;
}

void MessageList::clear()
{
    m_entries.clear();
}

MessageResult MessageList::result(int index) const
{
    if (index < 0 || index >= count()) {
        return MessageResult::NoSuchMessage;
    }
    return m_entries[static_cast<std::size_t>(index)].result;
}

void MessageList::setResult(int index, MessageResult result)
{
    if (index >= 0 && index < count()) {
        m_entries[static_cast<std::size_t>(index)].result = result;
    }
}

std::int32_t MessageList::pagerIdFromText(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}
