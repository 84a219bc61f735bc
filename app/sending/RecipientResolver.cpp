#include "sending/RecipientResolver.h"

#include "addressing/AddressGrammar.h"
#include "addressing/AddressParser.h"
#include "directories/AddressBook.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "sending/SendResults.h"
#include "text/StringTable.h"

#include <string>

RecipientResolver::RecipientResolver(AddressBook* book, AddressParser& parser, SendResults& results,
                                     LogFile& log, std::string_view originTag)
    : m_book(book)
    , m_parser(parser)
    , m_results(results)
    , m_log(log)
    , m_tag(originTag)
{ }

std::vector<PagerAddress>
RecipientResolver::resolveRecipients(const std::vector<RecipientEntry>& entries)
{
    if (m_book != nullptr && !m_book->open()) {
        // The look-ups below fail with the book's own error, which each row then shows.
        m_log.write(LogLevel::Info, m_tag, "Address book not open (%s)",
                    m_book->lastErrorText().c_str());
    }
    std::vector<PagerAddress> records;
    for (const RecipientEntry& entry : entries) {
        if (entry.limitMessageId != 0) {
            dropEntry(entry.text, entry.limitMessageId);
            continue;
        }
        std::string address;
        if (!addressOf(entry.text, address)) {
            continue;
        }
        PagerAddress record;
        if (!m_parser.parseAddress(address, record, true)) {
            m_results.addRow(entry.text, ResultStatus::ResultNotDeliverable,
                             m_parser.lastAddressError(), m_parser.lastAddressErrorCode());
            m_log.write(LogLevel::Trans, m_tag, "Bad Address %s (%s)", entry.text.c_str(),
                        m_parser.lastAddressError().c_str());
            continue;
        }
        // An entry is resolved before the limit is applied, so that a bad one still reads
        // as what is wrong with it.
        if (records.size() >= RecipientList::maxAddresses) {
            dropEntry(entry.text, StringId::TooManyAddresses);
            continue;
        }
        record.recipientText = entry.text;
        records.push_back(std::move(record));
    }
    return records;
}

bool RecipientResolver::addressOf(const std::string& entry, std::string& address)
{
    if (AddressGrammar::isAddressWellFormed(entry)) {
        address = entry;
        return true;
    }
    std::string text;
    std::int32_t code = 0;
    if (m_book == nullptr) {
        text = StringTable::text(StringId::EntryNotFound);
        code = StringTable::errorCode(StringId::EntryNotFound);
    } else if (m_book->getPagerInfo(entry, address)) {
        return true;
    } else {
        text = m_book->lastErrorText();
        code = m_book->lastErrorCode();
    }
    m_results.addRow(entry, ResultStatus::ResultNotDeliverable, text, code);
    m_log.write(LogLevel::Trans, m_tag, "Address %s not found (%s)", entry.c_str(), text.c_str());
    return false;
}

void RecipientResolver::dropEntry(const std::string& entry, int messageId)
{
    const std::string_view text = StringTable::text(messageId);
    m_results.addRow(entry, ResultStatus::ResultNotDeliverable, text, 0);
    m_log.write(LogLevel::Trans, m_tag, "Address %s not sent (%.*s)", entry.c_str(),
                static_cast<int>(text.size()), text.data());
}
