#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One entry of a send's recipient list: an address or an address-book entry name, and when
// it lies beyond the fixed limits of one send, the id of the message that says so (0 when
// it may be sent).
struct RecipientEntry
{
    std::string text;
    int limitMessageId = 0;
};

// The ";"-separated recipient list of a send and its fixed limits.
class RecipientList
{
public:
    // The longest recipient list, in bytes.
    static constexpr std::size_t maxListLength = 1023;
    // The most entries one send takes.
    static constexpr std::size_t maxEntries = 39;
    // The most resolved addresses one send takes.
    static constexpr std::size_t maxAddresses = 30;

    // The entries of the list in order; empty entries (";;", a leading or trailing ";") are
    // not entries. An entry that reaches past maxListLength bytes, or comes after the
    // maxEntries-th, is kept with the message that says why it is not sent.
    static std::vector<RecipientEntry> split(std::string_view list);
};
