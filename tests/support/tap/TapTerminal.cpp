#include "TapTerminal.h"

#include <utility>

namespace {

constexpr char stx = 0x02;
constexpr char etx = 0x03;
constexpr char eot = 0x04;
constexpr char cr = 0x0D;
constexpr char sub = 0x1A;
constexpr char us = 0x1F;

constexpr std::string_view loginSequence = "\x1bPG1\r";
constexpr std::string_view goAheadSequence = "\x1b[p\r";
// A block longer than this is line noise, not a block.
constexpr std::size_t maxBlock = 4096;

std::string answerBytes(TapBlockAnswer answer)
{
    switch (answer) {
    case TapBlockAnswer::Ack:
        return "\x06\r";
    case TapBlockAnswer::Nak:
        return "\x15\r";
    case TapBlockAnswer::Rs:
        return "\x1e\r";
    case TapBlockAnswer::Silence:
    case TapBlockAnswer::ForcedDisconnect:
    case TapBlockAnswer::HangUp:
        break;
    }
    return {};
}

} // namespace

TapTerminal::TapTerminal(TapTerminalScript script)
    : m_script(std::move(script))
{ }

void TapTerminal::connected(std::vector<Output>& out)
{
    if (m_script.promptAfterCr == 0) {
        sendPrompt(out);
    }
}

void TapTerminal::receive(unsigned char byte, std::vector<Output>& out)
{
    const char c = static_cast<char>(byte);
    m_received += c;
    if (m_eotSeen || m_hungUp) {
        // The caller has ended the session; what follows (its CR) is only recorded.
        return;
    }
    switch (m_part) {
    case BlockPart::Body:
        m_block += c;
        if (c == etx || c == us) {
            m_terminatorAt = m_block.size() - 1;
            m_part = BlockPart::Checksum;
        } else if (c == stx) {
            // A new block began inside the last one: that one was broken off.
            m_block.assign(1, stx);
        } else if (m_block.size() > maxBlock) {
            m_part = BlockPart::Idle;
            m_block.clear();
        }
        return;
    case BlockPart::Checksum:
        m_block += c;
        // Three checksum characters follow the terminator.
        if (m_block.size() == m_terminatorAt + 4) {
            m_part = BlockPart::Closing;
        }
        return;
    case BlockPart::Closing:
        m_block += c;
        blockComplete(out);
        return;
    case BlockPart::Idle:
        break;
    }
    if (m_phase == Phase::Blocks) {
        if (c == stx) {
            m_block.assign(1, stx);
            m_part = BlockPart::Body;
        } else if (c == eot) {
            m_eotSeen = true;
        }
        return;
    }
    m_window += c;
    if (m_window.size() > loginSequence.size()) {
        m_window.erase(0, m_window.size() - loginSequence.size());
    }
    if (m_window == loginSequence) {
        m_window.clear();
        ++m_logins;
        answerLogin(out);
        return;
    }
    if (c == cr) {
        ++m_wakeUps;
        if (m_script.promptAfterCr > 0 && m_wakeUps == m_script.promptAfterCr) {
            sendPrompt(out);
        }
    } else if (c == eot) {
        m_eotSeen = true;
    }
}

void TapTerminal::sendPrompt(std::vector<Output>& out)
{
    ++m_prompts;
    if (!m_script.beforePrompt.empty()) {
        emit(out, m_script.beforePrompt, 0);
    }
    for (std::size_t i = 0; i < m_script.promptPieces.size(); ++i) {
        emit(out, m_script.promptPieces[i], i == 0 ? 0 : m_script.pieceDelayMs);
    }
}

void TapTerminal::answerLogin(std::vector<Output>& out)
{
    chatter(out, m_script.loginChatter);
    switch (m_script.loginAnswer) {
    case TapLoginAnswer::Ack:
        emit(out, "\x06\r", m_script.loginDelayMs);
        m_phase = Phase::Blocks;
        if (!m_script.beforeGoAhead.empty()) {
            emit(out, m_script.beforeGoAhead, 0);
        }
        if (!m_script.goAheadReplacement.empty()) {
            emit(out, m_script.goAheadReplacement, 0);
        }
        if (m_script.goAhead) {
            emit(out, std::string(goAheadSequence), m_script.afterGoAheadMs);
        }
        break;
    case TapLoginAnswer::Nak:
        emit(out, "\x15\r", m_script.loginDelayMs);
        break;
    case TapLoginAnswer::EscAlone:
        emit(out, "\x1b", m_script.loginDelayMs);
        break;
    case TapLoginAnswer::Silence:
        break;
    case TapLoginAnswer::ForcedDisconnect:
        emit(out, "\x1b\x04", m_script.loginDelayMs);
        m_hungUp = true;
        break;
    }
}

void TapTerminal::blockComplete(std::vector<Output>& out)
{
    TapReceivedBlock block;
    block.raw = m_block;
    m_block.clear();
    m_part = BlockPart::Idle;

    // STX, the body, the terminator, three checksum characters, CR.
    const std::size_t terminatorAt = m_terminatorAt;
    const char terminator = block.raw[terminatorAt];
    block.checksumOk = block.raw.back() == cr
        && checksum(std::string_view(block.raw).substr(0, terminatorAt + 1))
            == block.raw.substr(terminatorAt + 1, 3);
    block.continues = terminator == us;
    // The caller resends an unanswered block unchanged; a different block after one means
    // it gave that message up, so no continuation is pending any more.
    if (m_pending && !m_unsettled.empty() && block.raw != m_unsettled) {
        m_pending = false;
    }
    block.continuation = m_pending;
    std::string_view body = std::string_view(block.raw).substr(1, terminatorAt - 1);
    if (!block.continuation) {
        const std::size_t end = body.find(cr);
        block.pagerId = std::string(body.substr(0, end));
        body = end == std::string_view::npos ? std::string_view {} : body.substr(end + 1);
    }
    if (terminator == etx && !body.empty() && body.back() == cr) {
        body.remove_suffix(1);
    }
    block.text = unescape(body);

    if (!block.checksumOk) {
        ++m_badChecksums;
        block.answer = TapBlockAnswer::Nak;
    } else if (m_nextAnswer < m_script.blockAnswers.size()) {
        block.answer = m_script.blockAnswers[m_nextAnswer++];
    } else {
        block.answer = m_script.laterAnswers;
    }

    if (block.answer == TapBlockAnswer::Ack || block.answer == TapBlockAnswer::Rs) {
        m_unsettled.clear();
    } else if (block.checksumOk) {
        m_unsettled = block.raw;
    }
    if (block.checksumOk && block.answer == TapBlockAnswer::Ack) {
        if (!block.continuation) {
            m_partial = TapReceivedMessage {block.pagerId, {}, 0};
        }
        m_partial.text += block.text;
        ++m_partial.blocks;
        m_pending = block.continues;
        if (!block.continues) {
            m_messages.push_back(m_partial);
        }
    } else if (block.checksumOk && block.answer == TapBlockAnswer::Rs) {
        m_pending = false;
    }
    chatter(out, m_script.answerChatter);
    if (block.answer == TapBlockAnswer::ForcedDisconnect) {
        emit(out, "\x1b\x04", m_script.answerDelayMs);
        m_hungUp = true;
    } else if (block.answer == TapBlockAnswer::HangUp) {
        m_hungUp = true;
    } else if (block.answer != TapBlockAnswer::Silence) {
        emit(out, m_script.beforeAnswer + answerBytes(block.answer), m_script.answerDelayMs);
    }
    m_blocks.push_back(std::move(block));
}

void TapTerminal::chatter(std::vector<Output>& out, const TapChatter& chatter)
{
    for (int i = 0; i < chatter.repeats; ++i) {
        emit(out, chatter.text, chatter.gapMs);
    }
}

void TapTerminal::emit(std::vector<Output>& out, std::string bytes, int delayMs)
{
    m_sent += bytes;
    out.push_back(Output {std::move(bytes), delayMs});
}

std::string TapTerminal::checksum(std::string_view bytes)
{
    unsigned int sum = 0;
    for (const char c : bytes) {
        sum += static_cast<unsigned char>(c) & 0x7Fu;
    }
    sum %= 4096;
    return std::string {static_cast<char>('0' + (sum >> 8)),
                        static_cast<char>('0' + ((sum >> 4) & 15)),
                        static_cast<char>('0' + (sum & 15))};
}

std::string TapTerminal::unescape(std::string_view field)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == sub && i + 1 < field.size()) {
            text += static_cast<char>((static_cast<unsigned char>(field[++i]) - 0x40) & 0xFF);
        } else {
            text += field[i];
        }
    }
    return text;
}
