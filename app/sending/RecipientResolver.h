#pragma once

#include "addressing/PagerAddress.h"
#include "sending/RecipientList.h"

#include <string_view>
#include <vector>

class AddressBook;
class AddressParser;
class LogFile;
class SendResults;

// Resolves the entries of one send to pager addresses: a well-formed address stands for
// itself, any other entry is looked up in the address book; each address is parsed with
// provider names translated. An entry that does not resolve, or lies beyond the fixed limits,
// gets a not-deliverable row and a log line instead of a record.
class RecipientResolver
{
public:
    // A resolver that looks names up in `book` (may be null: no name resolves), parses with
    // `parser`, and writes rows and log lines (tagged `originTag`) for the entries it drops.
    RecipientResolver(AddressBook* book, AddressParser& parser, SendResults& results, LogFile& log,
                      std::string_view originTag);

    // The records of the entries that resolved, in list order, each with its entry as
    // recipientText; at most RecipientList::maxAddresses of them.
    std::vector<PagerAddress> resolveRecipients(const std::vector<RecipientEntry>& entries);

private:
    bool addressOf(const std::string& entry, std::string& address);
    void dropEntry(const std::string& entry, int messageId);

    AddressBook* m_book;
    AddressParser& m_parser;
    SendResults& m_results;
    LogFile& m_log;
    std::string_view m_tag;
};
