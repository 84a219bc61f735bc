#include "kestrel/TapBlock.h"

#include <algorithm>
#include <cstdio>

void TapBlock::begin(std::int32_t pagerId, std::string_view text, bool transChars,
                     std::size_t maxText)
{
    m_maxText = std::clamp(maxText, minEncodedText, maxEncodedText);
    m_pagerId = pagerId;
    m_text = text;
    m_position = 0;
    m_transChars = transChars;
    m_done = false;
    m_blocksBuilt = 0;
    m_size = 0;
}

bool TapBlock::buildNext()
{
    if (m_done) {
        return false;
    }
    std::size_t size = 0;
    m_buffer[size++] = TapByte::Stx;
    if (m_blocksBuilt == 0) {
        // The identifier is printed unsigned: "-5" read by atoi goes out as 4294967291.
        const int printed
            = std::snprintf(m_buffer + size, 11, "%u", static_cast<unsigned int>(m_pagerId));
        size += static_cast<std::size_t>(printed);
        m_buffer[size++] = TapByte::Cr;
    }
    std::size_t encoded = 0;
    char pair[2];
    while (m_position < m_text.size()) {
        const std::size_t n
            = encode(static_cast<unsigned char>(m_text[m_position]), m_transChars, pair);
        if (encoded + n > m_maxText) {
            break;
        }
        for (std::size_t i = 0; i < n; ++i) {
            m_buffer[size++] = pair[i];
        }
        encoded += n;
        ++m_position;
    }
    if (m_position == m_text.size()) {
        m_buffer[size++] = TapByte::Cr;
        m_buffer[size++] = TapByte::Etx;
        m_done = true;
    } else {
        m_buffer[size++] = TapByte::Us;
    }
    checksum(m_buffer, size, m_buffer + size);
    size += 3;
    m_buffer[size++] = TapByte::Cr;
    m_size = size;
    ++m_blocksBuilt;
    return true;
}

void TapBlock::checksum(const char* bytes, std::size_t length, char out[3])
{
    unsigned int sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
        sum += static_cast<unsigned char>(bytes[i]) & 0x7Fu;
    }
    sum &= 0xFFFu;
    out[0] = static_cast<char>(0x30 + ((sum >> 8) & 0xF));
    out[1] = static_cast<char>(0x30 + ((sum >> 4) & 0xF));
    out[2] = static_cast<char>(0x30 + (sum & 0xF));
}

std::size_t TapBlock::encode(unsigned char byte, bool transChars, char out[2])
{
    if (byte >= 0x20 && byte <= 0x7F) {
        out[0] = static_cast<char>(byte);
        return 1;
    }
    if (!transChars || (byte >= 0xC0 && byte <= 0xDF)) {
        out[0] = '?';
        return 1;
    }
    out[0] = TapByte::Sub;
    out[1] = static_cast<char>((byte + 0x40) & 0xFF);
    return 2;
}
