#include "sending/RecipientList.h"

#include "text/StringTable.h"

std::vector<RecipientEntry> RecipientList::split(std::string_view list)
{
    std::vector<RecipientEntry> entries;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string_view::npos) {
            end = list.size();
        }
        if (end > start) {
            RecipientEntry entry {std::string(list.substr(start, end - start)), 0};
            // An entry is never cut to fit: a shortened address would page someone else.
            if (end > maxListLength) {
                entry.limitMessageId = StringId::ListTooLong;
            } else if (entries.size() >= maxEntries) {
                entry.limitMessageId = StringId::TooManyEntries;
            }
            entries.push_back(std::move(entry));
        }
        start = end + 1;
    }
    return entries;
}
