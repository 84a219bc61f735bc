#pragma once

#include "addressing/AddressCheck.h"

#include <string_view>

// What the gateway asks about a pager identifier: whether the address book has an entry of
// that name with a pager address, and how the quiet address check classifies a text.
class AddressJudge
{
public:
    virtual ~AddressJudge() = default;
    // Whether the address book holds an entry of that name with pager information.
    virtual bool hasEntry(std::string_view name) = 0;
    // The kind the quiet address check gives the text (an address or an entry name).
    virtual AddressCheck check(std::string_view text) = 0;
};
