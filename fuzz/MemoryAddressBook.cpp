#include "MemoryAddressBook.h"

#include "directories/AddressBookVisitor.h"

MemoryAddressBook::MemoryAddressBook()
    : AddressBook(nullptr)
{ }

bool MemoryAddressBook::add(std::string_view name, std::string_view pagerInfo)
{
    return m_entries.emplace(std::string(name), std::string(pagerInfo)).second;
}

bool MemoryAddressBook::enumerate(AddressBookVisitor& visitor)
{
    for (const auto& [name, pagerInfo] : m_entries) {
        visitor.addName(name);
        (void)visitor.setPagerInfo(pagerInfo);
    }
    return true;
}

bool MemoryAddressBook::findLike(std::string_view prefix, std::string& name)
{
    const auto found = m_entries.lower_bound(prefix);
    if (found == m_entries.end() || found->first.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    name = found->first;
    return true;
}

bool MemoryAddressBook::update(std::string_view name, std::string_view pagerInfo)
{
    const auto found = m_entries.find(name);
    if (found == m_entries.end()) {
        return false;
    }
    found->second = std::string(pagerInfo);
    return true;
}

bool MemoryAddressBook::remove(std::string_view name)
{
    const auto found = m_entries.find(name);
    if (found == m_entries.end()) {
        return false;
    }
    m_entries.erase(found);
    return true;
}

bool MemoryAddressBook::getPagerInfo(std::string_view name, std::string& pagerInfo)
{
    const auto found = m_entries.find(name);
    if (found == m_entries.end()) {
        return false;
    }
    pagerInfo = found->second;
    return true;
}
