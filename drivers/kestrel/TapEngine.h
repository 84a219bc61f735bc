#pragma once

#include "ByteLink.h"

#include <array>
#include <atomic>
#include <cstddef>

class MessageList;
class SendReporter;

// The IXO/TAP engine's settings, loaded by the driver at each send.
struct TapSettings
{
    int maxSendPacket = 3; // resend limit: writes of a block after its first
    int readTimeoutSeconds = 6; // wait for the terminal's answer to a block
    int promptTimeoutSeconds = 3; // wait for the prompt, the login answer and the go-ahead
    bool transChars = true; // control characters as SUB + byte + 0x40, else "?"
    int goAheadDelayMs = 1000; // pause after the terminal's go-ahead, before the first block
};

// The engine's states; the numbers are the values the send frame uses.
enum class TapState : int {
    Start = 4,
    SendWakeUp = 5,
    WaitPrompt = 6,
    SendLogin = 7,
    WaitLoginReply = 8,
    WaitTerminalReady = 9,
    ProcessNextPacket = 10,
    SendPacket = 11,
    WaitPacketReply = 12,
    Disconnect = 13,
    End = 14,
};

// The IXO/TAP block protocol with a paging terminal over any byte link: wake-up, login,
// one block per message with its checksum, the terminal's answer per block, disconnect.
// Runs on the protocol thread one step at a time; the frame may request Disconnect from
// another thread at any moment.
class TapEngine
{
public:
    // An engine over the link, sending the list's messages and reporting to `reporter`.
    TapEngine(ByteLink& link, MessageList& messages, SendReporter& reporter,
              const TapSettings& settings);

    // Sets the state to Start.
    void start();
    // Performs the current state's step; false once the engine has reached End.
    [[nodiscard]] bool step();
    // Makes the next step Disconnect, whatever the running step decides. Thread-safe.
    void requestDisconnect();
    // The current state.
    TapState state() const { return m_state.load(); }

private:
    ByteLink& m_link;
    MessageList& m_messages;
    SendReporter& m_reporter;
    TapSettings m_settings;
    std::atomic<TapState> m_state {TapState::Start};
    std::atomic<bool> m_disconnectRequested {false};
};
