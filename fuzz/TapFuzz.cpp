// Fuzzes the IXO/TAP engine with what a paging terminal may answer, through the engine's byte
// link. Input: a control byte (message count, resend limit, transparent control characters,
// a modem line, a terminal that hangs up after its last answer), two bytes giving the length
// of the message texts, the texts (split at LF), then the terminal's byte stream. Checked:
// the engine ends within a number of steps linear in the input; every block it writes is
// framed (STX, text without raw control bytes, ETX or US, a correct checksum, CR) and fits
// its buffer; it says goodbye (EOT CR) unless the terminal (ESC EOT) or the line (the modem's
// NO CARRIER, a hang-up) ended the call, after which it writes nothing at all and reports a
// failure; no message is called sent without an ACK for it; what it reports stays in range.
#include "FuzzCheck.h"
#include "FuzzReporter.h"
#include "frame/MessageList.h"
#include "kestrel/TapBlock.h"
#include "kestrel/TapEngine.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void require(bool holds, const char* what)
{
    fuzzRequire(holds, "fuzz_tap", what);
}

// The terminal and the line to it: its answers come from the input; a read that runs out of
// them fails as a time-out would, since nothing more will come, or, when the terminal hangs
// up after its last answer, as a closed connection. On a modem line the modem's "NO CARRIER"
// (a letter whose parity does not fit 7-bit even parity may come as NUL) loses the
// connection. What the engine writes is kept per write, and how many writes it had made when
// the call was ended by the terminal (ESC EOT delivered) or the line (the loss reported).
class FuzzLink final : public ByteLink
{
public:
    FuzzLink(std::string_view answers, bool modemLine, bool hangUpAtEnd)
        : m_answers(answers)
        , m_modemLine(modemLine)
        , m_hangUpAtEnd(hangUpAtEnd)
    { }

    bool write(const void* bytes, std::size_t length) override
    {
        m_writes.emplace_back(static_cast<const char*>(bytes), length);
        if (m_lost) {
            m_lastError = 200;
            return false;
        }
        return true;
    }

    bool read(char* buffer, std::size_t& length, std::string_view terminators, int) override
    {
        const std::size_t capacity = length;
        length = 0;
        require(capacity >= 2, "a read has room for a byte");
        buffer[0] = '\0';
        if (m_lost) {
            m_lastError = 202;
            return false;
        }
        std::size_t held = 0;
        while (held + 1 < capacity) {
            if (m_answers.empty()) {
                buffer[held] = '\0';
                if (m_hangUpAtEnd) {
                    lose();
                    return false;
                }
                m_lastError = 203;
                return false;
            }
            const char byte = m_answers.front();
            m_answers.remove_prefix(1);
            if (m_modemLine && noCarrierEnds(byte)) {
                buffer[held] = '\0';
                lose();
                return false;
            }
            if (byte == '\0') {
                continue;
            }
            buffer[held++] = byte;
            if (terminators.find(byte) != std::string_view::npos) {
                break;
            }
        }
        buffer[held] = '\0';
        length = held;
        deliver(std::string_view(buffer, held));
        return true;
    }

    int lastError() const override { return m_lastError; }
    bool connectionLost() const override { return m_lost; }

    const std::vector<std::string>& writes() const { return m_writes; }
    // Whether the terminal or the line ended the call.
    bool callEnded() const { return m_writesAtEnd != noEnd; }
    // The writes made before the call was ended.
    std::size_t writesAtEnd() const { return m_writesAtEnd; }

private:
    static constexpr std::size_t noEnd = static_cast<std::size_t>(-1);

    void endCall()
    {
        if (!callEnded()) {
            m_writesAtEnd = m_writes.size();
        }
    }

    void lose()
    {
        m_lost = true;
        m_lastError = 202;
        endCall();
    }

    // The bytes a read gave the engine: ESC EOT there (also over two reads) ends the call.
    void deliver(std::string_view bytes)
    {
        for (const char byte : bytes) {
            if (m_lastDelivered == '\x1b' && byte == '\x04') {
                endCall();
            }
            m_lastDelivered = byte;
        }
    }

    // Whether the byte completes "NO CARRIER" in the bytes that came from the modem.
    bool noCarrierEnds(char byte)
    {
        static constexpr std::string_view noCarrier = "NO CARRIER";
        m_recent += byte;
        if (m_recent.size() > noCarrier.size()) {
            m_recent.erase(0, 1);
        }
        if (m_recent.size() < noCarrier.size()) {
            return false;
        }
        for (std::size_t i = 0; i < noCarrier.size(); ++i) {
            const char wanted = noCarrier[i];
            const bool oddParity = __builtin_popcount(static_cast<unsigned char>(wanted)) % 2 == 1;
            if (m_recent[i] != wanted && !(m_recent[i] == '\0' && oddParity)) {
                return false;
            }
        }
        return true;
    }

    std::string_view m_answers;
    bool m_modemLine;
    bool m_hangUpAtEnd;
    std::vector<std::string> m_writes;
    int m_lastError = 0;
    bool m_lost = false;
    char m_lastDelivered = 0;
    std::string m_recent; // the last bytes from the modem, as many as "NO CARRIER" has
    std::size_t m_writesAtEnd = noEnd;
};

void checkBlock(const std::string& block)
{
    require(block.size() >= 6 && block.size() <= TapBlock::capacity, "a block fits its buffer");
    require(block.back() == TapByte::Cr, "a block ends in CR");
    const std::size_t sumAt = block.size() - 4;
    unsigned sum = 0;
    for (std::size_t i = 0; i < sumAt; ++i) {
        sum += static_cast<unsigned char>(block[i]) & 0x7F;
    }
    sum %= 4096;
    const char expected[3]
        = {static_cast<char>(0x30 + ((sum >> 8) & 0xF)),
           static_cast<char>(0x30 + ((sum >> 4) & 0xF)), static_cast<char>(0x30 + (sum & 0xF))};
    require(std::equal(expected, expected + 3, block.begin() + static_cast<long>(sumAt)),
            "the checksum is right");
    const char end = block[sumAt - 1];
    require(end == TapByte::Etx || end == TapByte::Us, "a block ends its text with ETX or US");
    std::size_t textEnd = sumAt - 1;
    if (end == TapByte::Etx) {
        require(block[textEnd - 1] == TapByte::Cr, "a message's text ends with CR ETX");
        --textEnd;
    }
    // STX, then the pager identifier and CR in a message's first block, then the text.
    std::size_t textAt = 1;
    const std::size_t idEnd = block.find(TapByte::Cr, 1);
    if (idEnd < textEnd
        && std::all_of(block.begin() + 1, block.begin() + static_cast<long>(idEnd),
                       [](char c) { return c >= '0' && c <= '9'; })) {
        textAt = idEnd + 1;
    }
    for (std::size_t i = textAt; i < textEnd; ++i) {
        const auto c = static_cast<unsigned char>(block[i]);
        require(c >= 0x20 || c == TapByte::Sub, "no raw control byte in a block's text");
    }
    require(textEnd - textAt <= TapBlock::maxEncodedText, "a block's text is bounded");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) {
        return 0;
    }
    const std::uint8_t control = data[0];
    const std::size_t textLength = std::min<std::size_t>(data[1] | (data[2] << 8), size - 3);
    const std::string_view texts(reinterpret_cast<const char*>(data) + 3, textLength);
    const std::string_view answers(reinterpret_cast<const char*>(data) + 3 + textLength,
                                   size - 3 - textLength);

    MessageList messages;
    const int count = 1 + (control & 3);
    require(addFuzzMessages(messages, count, texts), "the list takes the message");
    TapSettings settings;
    settings.maxSendPacket = (control >> 2) & 3;
    settings.transChars = (control & 0x10) != 0;
    settings.goAheadDelayMs = 0;
    settings.readTimeoutSeconds = 1;
    settings.promptTimeoutSeconds = 1;

    FuzzLink link(answers, (control & 0x20) != 0, (control & 0x40) != 0);
    FuzzReporter reporter;
    TapEngine engine(link, messages, reporter, settings);
    engine.start();
    const std::size_t bound
        = 32 + 6 * answers.size() + static_cast<std::size_t>(count) * (2 * 3 + 8);
    std::size_t steps = 0;
    while (engine.step()) {
        require(++steps <= bound, "the engine ends in bounded steps");
    }
    require(engine.state() == TapState::End && !engine.step(), "the engine stays ended");

    const std::vector<std::string>& writes = link.writes();
    if (link.callEnded()) {
        // On a modem back in command mode anything written would run as commands.
        require(writes.size() == link.writesAtEnd(),
                "nothing is written once the terminal or the line has ended the call");
        require(reporter.lastError() != 0, "a call ended by the terminal or the line fails");
    } else {
        require(!writes.empty() && writes.back() == std::string("\x04\r"),
                "the engine says goodbye");
    }
    for (const std::string& written : writes) {
        if (!written.empty() && written.front() == TapByte::Stx) {
            checkBlock(written);
        }
    }
    const auto acks = static_cast<int>(std::count(answers.begin(), answers.end(), TapByte::Ack));
    int sent = 0;
    for (int i = 0; i < count; ++i) {
        const MessageResult result = messages.result(i);
        require(result != MessageResult::Cleared && result != MessageResult::NoSuchMessage,
                "every message has a result");
        sent += result == MessageResult::Sent ? 1 : 0;
    }
    // One ACK takes the login; each sent message needs one more.
    require(sent == 0 || sent < acks, "no message is sent without an ACK");
    require(reporter.reportsBounded(2 * count), "reports in range");
    const int code = reporter.lastError();
    require(code == 0 || (code >= 200 && code <= 213), "the overall code is known");
    return 0;
}
