#include "frame/MessageList.h"

#include "text/TextNumber.h"

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
    return TextNumber::atoi(text);
}
