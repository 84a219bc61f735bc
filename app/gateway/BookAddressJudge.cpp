#include "BookAddressJudge.h"

#include "AddressBook.h"
#include "AddressChecker.h"

#include <string>

BookAddressJudge::BookAddressJudge(ProviderDatabase* providers, AddressBook* book)
    : m_providers(providers)
    , m_book(book)
{ }

bool BookAddressJudge::hasEntry(std::string_view name)
{
    std::string pagerInfo;
    return m_book != nullptr && m_book->getPagerInfo(name, pagerInfo) && !pagerInfo.empty();
}

AddressCheck BookAddressJudge::check(std::string_view text)
{
    // No prompt: the quiet check never asks, and the gateway has nobody to ask.
    AddressChecker checker(m_providers, m_book, nullptr);
    AddressCheck kind = AddressCheck::CheckNone;
    (void)checker.checkAddress(true, text, kind);
    return kind;
}
