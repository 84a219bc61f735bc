#include "StringTable.h"

#include <algorithm>
#include <array>

namespace {

// Sorted by id; later features add their messages here.
constexpr std::array<StringEntry, 12> entries = {{
    {StringId::AddEntryFailed,
     "Address Book Error\rCannot add entry to address book\rPlease make sure the Personal "
     "Address Book is installed.",
     "HIDS_ERM_ADDUSERFAILED"},
    {StringId::DeleteEntryFailed, "Address Book Error\rCannot delete entry from address book",
     "HIDS_ERM_DELETEUSERFAILED"},
    {StringId::MapiNoRoot, "MAPI Error: cannot get ADB root (erc=%d)", ""},
    {StringId::MapiNoHierarchy, "MAPI Error: cannot get ADB hierarchy (erc=%d)", ""},
    {StringId::MapiCannotOpen, "MAPI Error: cannot open ADB (erc=%d)", ""},
    {StringId::MapiNoContent, "MAPI Error: cannot get ADB content (erc=%d)", ""},
    {StringId::EntryNotFound, "Address Book Error: entry not found", ""},
    {StringId::EmptyPagerNumber, "Invalid Address: bad  or empty pager phone number", ""},
    {StringId::MissingSeparator, "Invalid Address: missing separator or pin number", ""},
    {StringId::BadProviderPhone, "Invalid Address: bad service provider phone number(%s)", ""},
    {StringId::BadPin, "Invalid Address: bad pin number (%s)", ""},
    {StringId::UpdateEntryFailed, "Address Book Error\rCannot update entry information",
     "HIDS_ERM_SETUSERFAILED"},
}};

bool isPlaceholderAt(std::string_view text, std::size_t at, std::size_t& length)
{
    if (text[at] != '%' || at + 1 >= text.size()) {
        return false;
    }
    const char kind = text[at + 1];
    if (kind == 's' || kind == 'd' || (kind >= '1' && kind <= '9')) {
        length = 2;
        return true;
    }
    return false;
}

} // namespace

const StringEntry* StringTable::find(int id)
{
    const auto it
        = std::lower_bound(entries.begin(), entries.end(), id,
                           [](const StringEntry& entry, int key) { return entry.id < key; });
    return it != entries.end() && it->id == id ? &*it : nullptr;
}

std::string_view StringTable::text(int id)
{
    const StringEntry* entry = find(id);
    return entry ? entry->text : std::string_view();
}

std::string_view StringTable::helpKey(int id)
{
    const StringEntry* entry = find(id);
    return entry ? entry->helpKey : std::string_view();
}

std::string StringTable::format(int id, std::initializer_list<std::string_view> arguments)
{
    return substitute(text(id), arguments);
}

std::string StringTable::substitute(std::string_view text,
                                    std::initializer_list<std::string_view> arguments)
{
    // Arguments are put in as plain text, never read as a format: a "%s" inside an argument
    // (a user's phone part, say) stays literal.
    std::string result;
    result.reserve(text.size() + 32);
    auto next = arguments.begin();
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t length = 0;
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') {
            result += '%';
            ++i;
        } else if (next != arguments.end() && isPlaceholderAt(text, i, length)) {
            result += *next++;
            i += length - 1;
        } else {
            result += text[i];
        }
    }
    return result;
}
