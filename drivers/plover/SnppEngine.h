#pragma once

#include "plover/ReplyReader.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <string>

class MessageList;
class SendReporter;
class TcpSocket;

// The SNPP engine's states; the numbers are those the send frame and the log use.
enum class SnppState : int {
    Start = 4,
    WaitReply = 5,
    NextPacket = 6,
    SendReset = 7,
    SendPin = 8,
    SendMessage = 9,
    SendSend = 10,
    Disconnect = 11,
    Done = 12,
};

// The engine's waiting time and its bound on restarts.
struct SnppEngineSettings
{
    int replyTimeoutMs = 10000; // the whole of one reply, informational lines included
    int maxRestarts = 3; // restarts of one message before it is given up (result 6)
};

// The SNPP client engine over a connected socket: awaits the greeting, then for each message
// of the list sends its pager identifier, its text and SEND, judging every reply by its first
// character, and finally says goodbye. Records one result per message and the send's overall
// code through the reporter. Runs on the protocol thread one step at a time; only
// requestDisconnect() may come from another thread.
class SnppEngine
{
public:
    // An engine over the connection, sending the list's messages and reporting to `reporter`.
    SnppEngine(TcpSocket& connection, MessageList& messages, SendReporter& reporter,
               const SnppEngineSettings& settings = {});

    // Sets the state to Start; a disconnect requested earlier still holds.
    void start();
    // Performs the current state's step; false once the engine has reached Done.
    [[nodiscard]] bool step();
    // The engine loop: start, then steps until Done or until the user cancels (looked at before
    // the first step and after each). True when it ran to Done, false when cancelled.
    [[nodiscard]] bool run();
    // Makes the next step Disconnect, whatever the running step decides (asked before the
    // start: the step after Start); a wait for a reply in progress ends early. Thread-safe.
    void requestDisconnect();
    // The current state.
    SnppState state() const { return m_state.load(); }
    // Restarts of the current message so far.
    int retry() const { return m_retry; }

    // The reply line buffer: 127 characters and the terminating zero.
    static constexpr std::size_t kLineCapacity = 128;

private:
    // The command the awaited reply answers.
    enum class Awaiting { Greeting, Pager, Message, Send, Reset };

    void startState();
    void waitReply();
    void judge(const char* reply);
    void restart();
    void nextPacket();
    bool sendCommand(const std::string& line, Awaiting awaiting, SnppState next);
    void sendPin();
    void sendMessage();
    void sendSend();
    void sendReset();
    void disconnect();
    ReplyReader::Outcome readReply(char* reply);
    int begunIndex() const { return m_started - 1; }

    TcpSocket& m_connection;
    MessageList& m_messages;
    SendReporter& m_reporter;
    SnppEngineSettings m_settings;
    ReplyReader m_reader;
    std::atomic<SnppState> m_state {SnppState::Start};
    std::atomic<bool> m_disconnectRequested {false};
    SnppState m_nextState = SnppState::NextPacket;
    Awaiting m_awaiting = Awaiting::Greeting;
    int m_current = 0;
    int m_started = 0;
    int m_retry = 0;
};
