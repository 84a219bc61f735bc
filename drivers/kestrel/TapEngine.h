#pragma once

#include "frame/StepEngine.h"
#include "kestrel/TapBlock.h"
#include "telephony/ByteLink.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string_view>

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
    int maxBlockText = 511; // the most encoded text bytes per block; longer texts continue
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
// the blocks of each message with their checksums, the terminal's answer per block,
// disconnect. A message whose encoded text does not fit one block continues in further
// blocks. Runs on the protocol thread one step at a time; the frame may request Disconnect
// from another thread at any moment. Blocks and answers live in fixed buffers.
//
// When the terminal forces a disconnect (ESC EOT) or the connection is lost (the modem's NO
// CARRIER, a dropped carrier or connection), the exchange ends at once: nothing more is
// written, the current message keeps its code (5, or 6 after a NAK) and later ones stay 5.
class TapEngine final : public StepEngine
{
public:
    // An engine over the link, sending the list's messages and reporting to `reporter`.
    TapEngine(ByteLink& link, MessageList& messages, SendReporter& reporter,
              const TapSettings& settings);

    // Sets the state to Start (a Disconnect request made before stays in force).
    void start() override;
    // Performs the current state's step; false once the engine has reached End.
    [[nodiscard]] bool step() override;
    // Makes the next step Disconnect, whatever the running step decides, and cuts the pause
    // after the go-ahead short; a read in progress runs to its end unless the link's owner
    // interrupts the link. No effect once Disconnect has begun. Thread-safe.
    void requestStop() override;
    // The current state.
    TapState state() const { return m_state.load(); }

private:
    TapState stepStart();
    TapState stepWaitPrompt();
    TapState stepSendWakeUp();
    TapState stepSendLogin();
    TapState stepWaitLoginReply();
    TapState stepWaitTerminalReady();
    TapState stepProcessNextPacket();
    TapState stepSendPacket();
    TapState stepWaitPacketReply();
    TapState stepDisconnect();
    // The terminal or the line has ended the call: records why and ends without writing.
    TapState stepCallEnded();

    // Error n: records the overall code and goes to Disconnect.
    TapState fail(int code);
    // Records the overall code unless the user has cancelled.
    void setLastError(int code);
    void log(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void status(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Writes the bytes; a failure is recorded in the last error, not acted on.
    void write(const char* bytes, std::size_t length);
    // Reads an answer into m_reply, also ending at EOT; false on a time-out or a port error
    // (recorded), and when the terminal forced a disconnect or the connection is gone (then
    // callEnded() is true).
    [[nodiscard]] bool readReply(std::string_view terminators, int timeoutMs);
    // Whether the terminal or the line ended the call.
    bool callEnded() const { return m_ended != Ended::No; }
    // The time a re-read in an answer state may still wait (see the answer cap).
    int answerWaitMs(int timeoutMs) const;
    // The pause after the go-ahead; false when a Disconnect request cut it short.
    bool pauseAfterGoAhead();
    bool disconnectRequested() const { return m_disconnectRequested.load(); }

    ByteLink& m_link;
    MessageList& m_messages;
    SendReporter& m_reporter;
    TapSettings m_settings;
    std::atomic<TapState> m_state {TapState::Start};
    std::atomic<bool> m_disconnectRequested {false};

    enum class Ended { No, ForcedDisconnect, ConnectionLost };
    Ended m_ended = Ended::No;
    bool m_loggedIn = false; // the login was acknowledged
    bool m_goAhead = false; // the terminal gave the go-ahead
    char m_lastByteRead = 0; // to find an ESC EOT split over two reads

    TapBlock m_block; // the current block of the current message
    std::array<char, 128> m_reply {}; // the terminal's latest answer
    std::size_t m_replyLength = 0;
    int m_wakeUps = 0;
    int m_messageIndex = 0; // the next message to start; the current one is index - 1
    int m_retries = 0; // writes of the current block
    TapState m_previousState = TapState::End; // to notice when a state is entered
    std::chrono::steady_clock::time_point m_stateEntered;

    std::mutex m_pauseMutex;
    std::condition_variable m_pauseWake;
};
