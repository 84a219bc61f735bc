#pragma once

#include "gateway/AddressJudge.h"

#include <string>

class AddressBook;
class ProviderDatabase;

// The gateway's questions answered by the real address check: the address book's entries
// and the pager address grammar, with provider names translated through the provider
// database. Either may be null (nothing is found there). Use one judge per thread.
// PAGE asks hasEntry() and then check() about the same name; the book's answer to the first
// serves the second, so each PAGE looks the name up once.
class BookAddressJudge final : public AddressJudge
{
public:
    BookAddressJudge(ProviderDatabase* providers, AddressBook* book);

    bool hasEntry(std::string_view name) override;
    AddressCheck check(std::string_view text) override;

private:
    ProviderDatabase* m_providers;
    AddressBook* m_book;
    // The name hasEntry() found last and its pager information, kept for the next call only.
    std::string m_foundName;
    std::string m_foundInfo;
};
