#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The control bytes of the IXO/TAP protocol.
namespace TapByte {
inline constexpr char Stx = 0x02;
inline constexpr char Etx = 0x03;
inline constexpr char Eot = 0x04;
inline constexpr char Ack = 0x06;
inline constexpr char Cr = 0x0D;
inline constexpr char Nak = 0x15;
inline constexpr char Sub = 0x1A;
inline constexpr char Esc = 0x1B;
inline constexpr char Rs = 0x1E;
inline constexpr char Us = 0x1F;
} // namespace TapByte

// The blocks of one message, built one at a time in a fixed buffer. The first block is
// STX, the pager identifier (unsigned decimal), CR, then the encoded text; a block whose
// text ends in it closes with CR ETX, a block whose text continues in the next one closes
// with US instead (the field is not ended). Every block ends with its three checksum
// characters and CR. A continuation block starts with STX and goes straight on with the
// text. Each block carries at most the given number of encoded text bytes (511 at most), and
// an escape pair is never split between blocks.
class TapBlock
{
public:
    // The size of the block buffer.
    static constexpr std::size_t capacity = 552;
    // The most encoded text bytes one block carries.
    static constexpr std::size_t maxEncodedText = 511;

    // The fewest encoded text bytes a block may be limited to (one escape pair).
    static constexpr std::size_t minEncodedText = 2;

    // Starts the blocks of a message, each carrying at most `maxText` encoded text bytes
    // (kept within minEncodedText..maxEncodedText). The text is not copied: it must outlive
    // the blocks.
    void begin(std::int32_t pagerId, std::string_view text, bool transChars,
               std::size_t maxText = maxEncodedText);
    // Builds the message's next block; false when every block of it has been built.
    [[nodiscard]] bool buildNext();
    // Whether the block built last closes the message (ends with ETX).
    bool isLast() const { return m_done; }
    // Whether the block built last is the message's first (carries the pager identifier).
    bool isFirst() const { return m_blocksBuilt == 1; }
    // Whether blocks of the message remain to be built.
    bool hasMore() const { return !m_done; }
    // Drops the blocks not built yet (the message was rejected or given up).
    void abandon() { m_done = true; }
    // The block built last.
    const char* data() const { return m_buffer; }
    // Its length in bytes.
    std::size_t size() const { return m_size; }

    // The checksum characters of the bytes: the sum of their low seven bits modulo 4096,
    // as three characters 0x30 + four bits each, most significant first.
    static void checksum(const char* bytes, std::size_t length, char out[3]);
    // Encodes one text byte into `out` and gives its length (1 or 2): 0x20..0x7F as they
    // are; other bytes as SUB and the byte + 0x40 (modulo 256) with transparent control
    // characters on, "?" with them off. Bytes 0xC0..0xDF are always sent as "?", because
    // their escape would be a raw control byte that breaks the block's framing.
    static std::size_t encode(unsigned char byte, bool transChars, char out[2]);

private:
    char m_buffer[capacity] = {};
    std::size_t m_size = 0;
    std::int32_t m_pagerId = 0;
    std::string_view m_text;
    std::size_t m_position = 0; // the next text byte to encode
    bool m_transChars = true;
    std::size_t m_maxText = maxEncodedText;
    bool m_done = true;
    int m_blocksBuilt = 0;
};
