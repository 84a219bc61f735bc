#include "addressing/AddressChecker.h"

#include "addressing/AddressGrammar.h"
#include "addressing/AddressParser.h"
#include "directories/AddressBook.h"
#include "directories/UserPrompt.h"
#include "text/StringTable.h"

std::string_view addressCheckName(AddressCheck kind)
{
    switch (kind) {
    case AddressCheck::CheckNone:
        return "CheckNone";
    case AddressCheck::CheckOk:
        return "CheckOk";
    case AddressCheck::CheckMalformed:
        return "CheckMalformed";
    case AddressCheck::CheckNotInAddressBook:
        return "CheckNotInAddressBook";
    case AddressCheck::CheckNoProtocol:
        return "CheckNoProtocol";
    }
    return "Unknown";
}

AddressChecker::AddressChecker(ProviderDatabase* providers, AddressBook* book, UserPrompt* prompt)
    : m_providers(providers)
    , m_book(book)
    , m_prompt(prompt)
{ }

bool AddressChecker::ask(bool quiet, std::string_view text, std::string_view caption)
{
    if (quiet || !m_prompt) {
        return true;
    }
    return m_prompt->askYesNo(text, caption, PromptIcon::Exclamation);
}

bool AddressChecker::checkAddress(bool quiet, std::string_view text, AddressCheck& kind)
{
    kind = AddressCheck::CheckNone;
    m_address = PagerAddress();
    m_addressText.clear();
    if (AddressGrammar::isAddressWellFormed(text)) {
        m_addressText = std::string(text);
    } else {
        std::string pagerInfo;
        if (!m_book || !m_book->getPagerInfo(text, pagerInfo) || pagerInfo.empty()) {
            kind = AddressCheck::CheckNotInAddressBook;
            return ask(quiet, notFoundText, notFoundCaption);
        }
        m_addressText = pagerInfo;
    }
    AddressParser parser(m_providers);
    if (!parser.parseAddress(m_addressText, m_address, true)) {
        m_error = {parser.lastAddressError(), parser.lastAddressErrorCode()};
        m_address = PagerAddress();
        kind = AddressCheck::CheckMalformed;
        return ask(quiet, StringTable::substitute(malformedText, {m_error.text}), malformedCaption);
    }
    if (m_address.type == AddressType::Ixo || m_address.type == AddressType::Snpp) {
        kind = AddressCheck::CheckOk;
        return true;
    }
    kind = AddressCheck::CheckNoProtocol;
    return ask(quiet, noProtocolText, noProtocolCaption);
}
