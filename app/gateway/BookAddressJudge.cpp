#include "gateway/BookAddressJudge.h"

#include "addressing/AddressChecker.h"
#include "addressing/AddressGrammar.h"
#include "directories/AddressBook.h"

#include <string>
#include <utility>

BookAddressJudge::BookAddressJudge(ProviderDatabase* providers, AddressBook* book)
    : m_providers(providers)
    , m_book(book)
{ }

bool BookAddressJudge::hasEntry(std::string_view name)
{
    m_foundName.clear();
    std::string pagerInfo;
    if (m_book == nullptr || !m_book->getPagerInfo(name, pagerInfo) || pagerInfo.empty()) {
        return false;
    }
    m_foundName = name;
    m_foundInfo = std::move(pagerInfo);
    return true;
}

AddressCheck BookAddressJudge::check(std::string_view text)
{
    // No prompt: the quiet check never asks, and the gateway has nobody to ask.
    AddressChecker checker(m_providers, m_book, nullptr);
    AddressCheck kind = AddressCheck::CheckNone;
    // An entry name just found: its pager information is what the check would look up. A
    // well-formed one is checked as the address it is; anything else takes the full check.
    const bool known = !m_foundName.empty() && text == m_foundName
        && !AddressGrammar::isAddressWellFormed(text)
        && AddressGrammar::isAddressWellFormed(m_foundInfo);
    (void)checker.checkAddress(true, known ? std::string_view(m_foundInfo) : text, kind);
    m_foundName.clear();
    return kind;
}
