#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Per-message result codes of a driver.
enum class MessageResult : int {
    Cleared = 0, // reset by clear()
    Sent = 1, // the remote end accepted the message
    NoSuchMessage = 2, // answered for an index outside the list; never stored
    Rejected = 3, // the remote end refused the message
    TooManyAttempts = 4, // given up after the resend limit
    NotProcessed = 5, // not settled yet (the value a message is added with)
    TransmissionError = 6, // the latest answer was a negative acknowledgement
};

// A driver's list of messages to send, at most `capacity` entries, each with a pager
// identifier, a text and a result code. Entries are sent in the order they were added.
class MessageList
{
public:
    // The most messages one send takes.
    static constexpr int capacity = 20;

    // One message of the list.
    struct Entry
    {
        std::int32_t pagerId = 0;
        MessageResult result = MessageResult::NotProcessed;
        std::string text;
    };

    // Appends a message (pager identifier read from `recipient` by the C library's atoi rule,
    // result NotProcessed); false when the list is full.
    [[nodiscard]] bool add(std::string_view recipient, std::string_view text);
    // Sets every entry's identifier and result to 0 and empties the list.
    void clear();
    // The number of messages.
    int count() const { return static_cast<int>(m_entries.size()); }
    // The result code of the message at the index, or NoSuchMessage outside 0..count-1.
    MessageResult result(int index) const;
    // Records the result of the message at the index (ignored outside the list).
    void setResult(int index, MessageResult result);
    // The message at the index (0..count-1).
    const Entry& at(int index) const { return m_entries.at(static_cast<std::size_t>(index)); }

    // The C library's atoi reading: leading blanks, a sign, then digits; 0 when there are none.
    static std::int32_t pagerIdFromText(std::string_view text);

private:
    std::vector<Entry> m_entries;
};
