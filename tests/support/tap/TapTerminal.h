#pragma once

#include "TapTerminalScript.h"

#include <string>
#include <vector>

// The protocol side of a simulated IXO/TAP paging terminal, without any I/O: bytes from the
// caller go in, the terminal's answers come out as pieces to send after a delay, and
// everything it received is recorded. TapTerminalSimulator runs it over a descriptor; a
// fake modem may also drive it directly. Not thread-safe on its own.
class TapTerminal
{
public:
    // Bytes the terminal sends once `delayMs` have passed after the previous piece.
    struct Output
    {
        std::string bytes;
        int delayMs = 0;
    };

    // A terminal following the script.
    explicit TapTerminal(TapTerminalScript script);

    // The session starts (the call is connected): appends what the terminal sends at once.
    void connected(std::vector<Output>& out);
    // One byte from the caller; appends the terminal's answers to it, if any.
    void receive(unsigned char byte, std::vector<Output>& out);

    // Carriage returns received before a login (the caller's wake-ups).
    int wakeUps() const { return m_wakeUps; }
    // How many times the prompt was sent.
    int prompts() const { return m_prompts; }
    // How many login sequences ESC "PG1" CR arrived.
    int logins() const { return m_logins; }
    // Every block received, in order, with its decoding and the answer given.
    const std::vector<TapReceivedBlock>& blocks() const { return m_blocks; }
    // The messages whose last block was acknowledged.
    const std::vector<TapReceivedMessage>& messages() const { return m_messages; }
    // Blocks answered NAK because their checksum was wrong.
    int badChecksums() const { return m_badChecksums; }
    // Whether EOT arrived outside a block (the caller disconnects).
    bool eotSeen() const { return m_eotSeen; }
    // Whether the terminal has hung up (after a forced disconnect, or after the caller's EOT
    // when the script says so): the connection is to be closed once the output is sent.
    bool hungUp() const { return m_hungUp || (m_eotSeen && m_script.hangUpAfterEot); }
    // Every byte received and every byte the terminal sent, in order.
    const std::string& received() const { return m_received; }
    const std::string& sent() const { return m_sent; }

    // The block checksum characters of the bytes (sum of their low seven bits modulo 4096).
    static std::string checksum(std::string_view bytes);
    // The text of a block field with its SUB escapes undone.
    static std::string unescape(std::string_view field);

private:
    void sendPrompt(std::vector<Output>& out);
    void answerLogin(std::vector<Output>& out);
    void blockComplete(std::vector<Output>& out);
    void chatter(std::vector<Output>& out, const TapChatter& chatter);
    void emit(std::vector<Output>& out, std::string bytes, int delayMs);

    enum class Phase { Prompting, Blocks };
    enum class BlockPart { Idle, Body, Checksum, Closing };

    TapTerminalScript m_script;
    Phase m_phase = Phase::Prompting;
    BlockPart m_part = BlockPart::Idle;
    std::string m_block; // the block being received
    std::size_t m_terminatorAt = 0; // where its ETX or US lies
    std::string m_window; // the last bytes before the login, to spot ESC "PG1" CR
    std::size_t m_nextAnswer = 0;
    bool m_pending = false; // an acknowledged block ended with US
    std::string m_unsettled; // the last block answered NAK or not at all
    TapReceivedMessage m_partial; // the message whose blocks are arriving
    int m_wakeUps = 0;
    int m_prompts = 0;
    int m_logins = 0;
    int m_badChecksums = 0;
    bool m_eotSeen = false;
    bool m_hungUp = false;
    std::vector<TapReceivedBlock> m_blocks;
    std::vector<TapReceivedMessage> m_messages;
    std::string m_received;
    std::string m_sent;
};
