#pragma once

#include <string_view>

// Receives the entries of an address book's enumeration: for each entry addName, then
// setPagerInfo.
class AddressBookVisitor
{
public:
    virtual ~AddressBookVisitor() = default;
    // Starts a new entry with its name.
    virtual void addName(std::string_view name) = 0;
    // Gives the pager information of the entry last started; false refuses it (no entry).
    virtual bool setPagerInfo(std::string_view pagerInfo) = 0;
};
