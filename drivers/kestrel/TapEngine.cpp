#include "kestrel/TapEngine.h"

#include "frame/MessageList.h"
#include "frame/SendReporter.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int levelErrors = LogLevel::Errors;
constexpr int levelState = LogLevel::Debug4;
constexpr int levelDump = LogLevel::Debug5;

constexpr int wakeUpLimit = 6;
// A terminal that keeps sending text without ever answering would hold an answer state
// for good, since every full buffer (or lone ESC) starts a new read: the stay in such a
// state is capped at this many time-outs, after which it counts as no answer.
constexpr int answerCapTimeouts = 2;

constexpr char loginSequence[] = {TapByte::Esc, 'P', 'G', '1', TapByte::Cr};
constexpr char disconnectSequence[] = {TapByte::Eot, TapByte::Cr};
constexpr char promptTerminators[] = {'=', TapByte::Cr};
constexpr char loginTerminators[] = {TapByte::Ack, TapByte::Nak, TapByte::Esc};
constexpr char replyTerminators[] = {TapByte::Ack, TapByte::Nak, TapByte::Rs};
constexpr char goAheadTerminators[] = {'p', TapByte::Cr};

template<std::size_t N>
constexpr std::string_view bytes(const char (&array)[N])
{
    return std::string_view(array, N);
}

// The settings hold seconds; far-out values are clamped so the milliseconds fit an int.
int secondsToMs(int seconds)
{
    return std::clamp(seconds, 0, 2000000) * 1000;
}

} // namespace

TapEngine::TapEngine(ByteLink& link, MessageList& messages, SendReporter& reporter,
                     const TapSettings& settings)
    : m_link(link)
    , m_messages(messages)
    , m_reporter(reporter)
    , m_settings(settings)
{ }

void TapEngine::start()
{
    m_previousState = TapState::End;
    m_state.store(TapState::Start);
}

void TapEngine::requestStop()
{
    {
        const std::lock_guard<std::mutex> guard(m_pauseMutex);
        m_disconnectRequested.store(true);
    }
    m_pauseWake.notify_all();
}

bool TapEngine::step()
{
    TapState current = m_state.load();
    if (current == TapState::End) {
        return false;
    }
    if (disconnectRequested()) {
        current = TapState::Disconnect;
    }
    if (current != m_previousState) {
        m_previousState = current;
        m_stateEntered = Clock::now();
    }
    TapState next = TapState::Disconnect;
    switch (current) {
    case TapState::Start:
        next = stepStart();
        break;
    case TapState::SendWakeUp:
        next = stepSendWakeUp();
        break;
    case TapState::WaitPrompt:
        next = stepWaitPrompt();
        break;
    case TapState::SendLogin:
        next = stepSendLogin();
        break;
    case TapState::WaitLoginReply:
        next = stepWaitLoginReply();
        break;
    case TapState::WaitTerminalReady:
        next = stepWaitTerminalReady();
        break;
    case TapState::ProcessNextPacket:
        next = stepProcessNextPacket();
        break;
    case TapState::SendPacket:
        next = stepSendPacket();
        break;
    case TapState::WaitPacketReply:
        next = stepWaitPacketReply();
        break;
    case TapState::Disconnect:
        next = stepDisconnect();
        break;
    case TapState::End:
        next = TapState::End;
        break;
    }
    // A request that came while the step ran wins over the step's own choice.
    if (current != TapState::Disconnect && disconnectRequested()) {
        next = TapState::Disconnect;
    }
    // A call the terminal or the line has ended takes nothing more, not even the disconnect
    // sequence: on a modem back in command mode it would be run as commands.
    if (callEnded() && next != TapState::End) {
        next = stepCallEnded();
    }
    m_state.store(next);
    return true;
}

TapState TapEngine::stepStart()
{
    log(levelState, "STATE Start");
    m_reporter.setPhase(2);
    status("Logging...");
    m_wakeUps = 0;
    m_retries = 0;
    m_messageIndex = 0;
    m_ended = Ended::No;
    m_loggedIn = false;
    m_goAhead = false;
    m_lastByteRead = 0;
    m_block.abandon();
    // No carriage return before the first wait: many terminals prompt on their own.
    return TapState::WaitPrompt;
}

TapState TapEngine::stepWaitPrompt()
{
    log(levelState, "STATE WaitPrompt");
    status("Waiting for prompt...");
    if (readReply(bytes(promptTerminators), secondsToMs(m_settings.promptTimeoutSeconds))
        && std::memchr(m_reply.data(), '=', m_replyLength) != nullptr) {
        return TapState::SendLogin;
    }
    return TapState::SendWakeUp;
}

TapState TapEngine::stepSendWakeUp()
{
    log(levelState, "STATE SendWakeUp");
    if (m_wakeUps++ < wakeUpLimit) {
        const char cr = TapByte::Cr;
        write(&cr, 1);
        return TapState::WaitPrompt;
    }
    status("Error: remote not responding");
    return fail(212);
}

TapState TapEngine::stepSendLogin()
{
    log(levelState, "STATE SendLogin");
    status("Logging in...");
    write(loginSequence, sizeof loginSequence);
    return TapState::WaitLoginReply;
}

TapState TapEngine::stepWaitLoginReply()
{
    log(levelState, "STATE WaitLoginReply");
    const int timeoutMs = secondsToMs(m_settings.promptTimeoutSeconds);
    if (!readReply(bytes(loginTerminators), answerWaitMs(timeoutMs))) {
        if (callEnded()) {
            return TapState::Disconnect;
        }
        status("Error: no login reply");
        return fail(205);
    }
    for (std::size_t i = 0; i < m_replyLength; ++i) {
        if (m_reply[i] == TapByte::Ack) {
            m_loggedIn = true;
            status("Login successful");
            log(levelState, "STATE Login received ACK");
            return TapState::WaitTerminalReady;
        }
        if (m_reply[i] == TapByte::Nak) {
            status("Login rejected");
            log(levelState, "STATE Login received NAK!!");
            return fail(205);
        }
    }
    // Ended on ESC or filled the buffer: the answer may still come.
    return TapState::WaitLoginReply;
}

TapState TapEngine::stepWaitTerminalReady()
{
    log(levelState, "STATE WaitTerminalReady");
    status("Waiting for remote...");
    // The go-ahead is ESC "[p" CR. Text lines may come before it (a terminal's message
    // sequences, which may hold a "p"): reading goes on until "[p" arrives, a line that holds
    // an escape sequence other than the go-ahead ends (a malformed go-ahead: 209 at once), or
    // the prompt time-out has passed since the state began.
    const Clock::time_point deadline
        = m_stateEntered + std::chrono::milliseconds(secondsToMs(m_settings.promptTimeoutSeconds));
    bool textCame = false;
    bool invalid = false;
    bool lineHasEscape = false;
    char lastByte = 0;
    while (!m_goAhead && !invalid && !callEnded() && !disconnectRequested()) {
        const auto remaining
            = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (remaining <= 0 || !readReply(bytes(goAheadTerminators), static_cast<int>(remaining))) {
            break;
        }
        for (std::size_t i = 0; i < m_replyLength && !m_goAhead && !invalid; ++i) {
            const char c = m_reply[i];
            if (c == TapByte::Cr || c == '\n') {
                // A full buffer may have split the "[" from its "p", never a line from its end.
                invalid = lineHasEscape;
                lineHasEscape = false;
            } else {
                textCame = true;
                lineHasEscape = lineHasEscape || c == TapByte::Esc;
                m_goAhead = lastByte == '[' && c == 'p';
            }
            lastByte = c;
        }
    }
    if (callEnded() || disconnectRequested()) {
        return TapState::Disconnect;
    }
    if (m_goAhead) {
        pauseAfterGoAhead();
        return TapState::ProcessNextPacket;
    }
    if (!textCame) {
        status("Remote not ready");
        return fail(208);
    }
    status("Remote reply invalid");
    return fail(209);
}

TapState TapEngine::stepProcessNextPacket()
{
    m_reporter.setPhase(3);
    status("Processing packet...");
    const bool continuing = m_block.hasMore();
    // A continuation block belongs to the message whose answer is awaited (2k+1).
    m_reporter.setProgress(continuing ? 2 * m_messageIndex - 1 : 2 * m_messageIndex);
    log(levelState, "STATE ProcessNextPacket %d", m_messageIndex);
    if (!continuing) {
        if (m_messageIndex >= m_messages.count()) {
            setLastError(0);
            return TapState::Disconnect;
        }
        const MessageList::Entry& entry = m_messages.at(m_messageIndex);
        m_block.begin(entry.pagerId, entry.text, m_settings.transChars,
                      static_cast<std::size_t>(std::max(0, m_settings.maxBlockText)));
        ++m_messageIndex;
    }
    (void)m_block.buildNext();
    m_reporter.log().writeDump(levelDump, m_reporter.tag(), "Make packet", m_block.data(),
                               m_block.size());
    m_retries = 0;
    return TapState::SendPacket;
}

TapState TapEngine::stepSendPacket()
{
    log(levelState, "STATE Sending packet retry=%d", m_retries);
    const int current = m_messageIndex - 1;
    if (m_retries++ > m_settings.maxSendPacket) {
        status("Too many resends, aborting");
        const MessageResult result = m_messages.result(current);
        if (result != MessageResult::Cleared && result != MessageResult::Sent) {
            m_messages.setResult(current, MessageResult::TooManyAttempts);
        }
        log(levelErrors, "STATE Sending too many resends - abort packet");
        m_block.abandon();
        return TapState::ProcessNextPacket;
    }
    if (m_retries == 1) {
        status("Sending packet %d of %d", m_messageIndex, m_messages.count());
    } else {
        status("Resending packet %d of %d (retries=%d)", m_messageIndex, m_messages.count(),
               m_retries);
    }
    // The write's outcome is not acted on: a block that did not go out draws no answer.
    write(m_block.data(), m_block.size());
    return TapState::WaitPacketReply;
}

TapState TapEngine::stepWaitPacketReply()
{
    log(levelState, "STATE WaitPacketReply");
    m_reporter.setProgress(2 * m_messageIndex - 1);
    const int current = m_messageIndex - 1;
    const int timeoutMs = secondsToMs(m_settings.readTimeoutSeconds);
    if (!readReply(bytes(replyTerminators), answerWaitMs(timeoutMs))) {
        if (callEnded()) {
            return TapState::Disconnect;
        }
        log(levelDump, "STATE WaitPacketReply read from server timeout");
        return TapState::SendPacket;
    }
    for (std::size_t i = 0; i < m_replyLength; ++i) {
        if (m_reply[i] == TapByte::Ack) {
            // Only the message's last block settles it; an earlier one leaves it open.
            m_messages.setResult(
                current, m_block.isLast() ? MessageResult::Sent : MessageResult::NotProcessed);
            log(levelState, "STATE Send packet received ACK");
            return TapState::ProcessNextPacket;
        }
        if (m_reply[i] == TapByte::Nak) {
            m_messages.setResult(current, MessageResult::TransmissionError);
            log(levelErrors, "STATE Send packet received NAK (resend)!!!");
            return TapState::SendPacket;
        }
        if (m_reply[i] == TapByte::Rs) {
            m_messages.setResult(current, MessageResult::Rejected);
            log(levelErrors, "STATE Send packet received RS (reject)!!");
            m_block.abandon();
            return TapState::ProcessNextPacket;
        }
    }
    return TapState::WaitPacketReply;
}

TapState TapEngine::stepDisconnect()
{
    log(levelDump, "STATE Disconnect");
    m_reporter.setPhase(4);
    status("Disconnecting");
    // No answer is awaited, and a failure here (the line may be gone) changes nothing.
    if (!m_link.connectionLost()) {
        (void)m_link.write(disconnectSequence, sizeof disconnectSequence);
    }
    return TapState::End;
}

TapState TapEngine::stepCallEnded()
{
    m_reporter.setPhase(4);
    m_block.abandon();
    if (m_ended == Ended::ForcedDisconnect) {
        log(levelErrors, "STATE Remote forced disconnect (ESC EOT)");
        status("Remote disconnected");
        // Refusing the login, refusing to go ahead, or breaking off the blocks.
        setLastError(!m_loggedIn ? 205 : !m_goAhead ? 208 : 202);
    } else {
        log(levelErrors, "STATE Connection lost");
        status("Connection lost");
        setLastError(202);
    }
    return TapState::End;
}

TapState TapEngine::fail(int code)
{
    setLastError(code);
    return TapState::Disconnect;
}

void TapEngine::setLastError(int code)
{
    if (!m_reporter.cancelRequested()) {
        m_reporter.setLastError(code);
    }
}

void TapEngine::log(int level, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    m_reporter.log().writeV(level, m_reporter.tag(), format, arguments);
    va_end(arguments);
}

void TapEngine::status(const char* format, ...)
{
    char text[160];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    m_reporter.setStatus(text);
}

void TapEngine::write(const char* data, std::size_t length)
{
    if (!m_link.write(data, length)) {
        setLastError(m_link.lastError());
        if (m_link.connectionLost()) {
            m_ended = Ended::ConnectionLost;
        }
    }
}

bool TapEngine::readReply(std::string_view terminators, int timeoutMs)
{
    // Every read also ends at EOT, so that a forced disconnect is seen as soon as it comes.
    std::array<char, 8> withEot {};
    const std::size_t count = std::min(terminators.size(), withEot.size() - 1);
    std::copy_n(terminators.begin(), count, withEot.begin());
    withEot[count] = TapByte::Eot;
    std::size_t length = m_reply.size();
    if (!m_link.read(m_reply.data(), length, std::string_view(withEot.data(), count + 1),
                     timeoutMs)) {
        m_replyLength = 0;
        setLastError(m_link.lastError());
        if (m_link.connectionLost()) {
            m_ended = Ended::ConnectionLost;
        }
        return false;
    }
    m_replyLength = std::min(length, m_reply.size());
    for (std::size_t i = 0; i < m_replyLength; ++i) {
        if (m_reply[i] == TapByte::Eot && m_lastByteRead == TapByte::Esc) {
            m_ended = Ended::ForcedDisconnect;
        }
        m_lastByteRead = m_reply[i];
    }
    return m_ended == Ended::No;
}

int TapEngine::answerWaitMs(int timeoutMs) const
{
    const auto cap
        = std::chrono::milliseconds(static_cast<long long>(timeoutMs) * answerCapTimeouts);
    const auto left
        = std::chrono::ceil<std::chrono::milliseconds>(m_stateEntered + cap - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, timeoutMs));
}

bool TapEngine::pauseAfterGoAhead()
{
    std::unique_lock<std::mutex> lock(m_pauseMutex);
    return !m_pauseWake.wait_for(lock,
                                 std::chrono::milliseconds(std::max(0, m_settings.goAheadDelayMs)),
                                 [this] { return m_disconnectRequested.load(); });
}
