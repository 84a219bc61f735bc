#include "plover/SnppEngine.h"

#include "frame/MessageList.h"
#include "frame/SendReporter.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "net/TcpSocket.h"
#include "plover/PloverText.h"
#include "plover/SnppCommand.h"

#include <algorithm>
#include <cstring>

using PloverText::format;
using PloverText::log;

namespace {

constexpr std::string_view kLineEnds = "\r\n";

} // namespace

SnppEngine::SnppEngine(TcpSocket& connection, MessageList& messages, SendReporter& reporter,
                       const SnppEngineSettings& settings)
    : m_connection(connection)
    , m_messages(messages)
    , m_reporter(reporter)
    , m_settings(settings)
    , m_reader(connection, reporter, &m_disconnectRequested)
{ }

void SnppEngine::start()
{
    // A disconnect requested before the start still holds: the frame may ask while the
    // protocol thread is connecting.
    m_state = SnppState::Start;
    m_reader.reset();
}

bool SnppEngine::step()
{
    switch (m_state.load()) {
    case SnppState::Start:
        startState();
        break;
    case SnppState::WaitReply:
        waitReply();
        break;
    case SnppState::NextPacket:
        nextPacket();
        break;
    case SnppState::SendReset:
        sendReset();
        break;
    case SnppState::SendPin:
        sendPin();
        break;
    case SnppState::SendMessage:
        sendMessage();
        break;
    case SnppState::SendSend:
        sendSend();
        break;
    case SnppState::Disconnect:
        disconnect();
        break;
    case SnppState::Done:
        return false;
    }
    const SnppState now = m_state.load();
    if (m_disconnectRequested.load() && now != SnppState::Done && now != SnppState::Disconnect) {
        m_state = SnppState::Disconnect;
    }
    return true;
}

bool SnppEngine::run()
{
    start();
    if (!m_reporter.cancelRequested()) {
        while (step() && !m_reporter.cancelRequested()) { }
    }
    const bool aborted = m_reporter.cancelRequested();
    log(m_reporter, LogLevel::Debug2,
        aborted ? "LocalThread fsm ends from USERABORT" : "LocalThread fsm ends");
    return !aborted;
}

void SnppEngine::requestDisconnect()
{
    m_disconnectRequested = true;
    SnppState expected = m_state.load();
    // Skip straight to the goodbye unless the engine is already saying it or has done so.
    while (expected != SnppState::Disconnect && expected != SnppState::Done
           && !m_state.compare_exchange_weak(expected, SnppState::Disconnect)) { }
}

void SnppEngine::startState()
{
    log(m_reporter, LogLevel::Errors, "State starts");
    m_reporter.setPhase(2);
    m_reporter.setStatus("Logging...");
    m_current = 0;
    m_started = 0;
    m_retry = 0;
    m_awaiting = Awaiting::Greeting;
    m_nextState = SnppState::NextPacket;
    m_state = SnppState::WaitReply;
}

void SnppEngine::waitReply()
{
    m_reporter.setStatus(format("Packet %d: waiting for reply...", m_current));
    log(m_reporter, LogLevel::Debug4, "State WaitReply");
    // Before the first message (the greeting) the bar stays at its start.
    m_reporter.setProgress(std::max(0, 2 * m_started - 1));
    char reply[kLineCapacity];
    const ReplyReader::Outcome outcome = readReply(reply);
    if (outcome == ReplyReader::Outcome::Cancelled) {
        m_state = SnppState::Disconnect;
        return;
    }
    if (outcome != ReplyReader::Outcome::Complete) {
        log(m_reporter, LogLevel::Errors, "State read timeout");
        m_state = SnppState::Disconnect;
        return;
    }
    judge(reply);
}

ReplyReader::Outcome SnppEngine::readReply(char* reply)
{
    const auto deadline = ReplyReader::Clock::now()
        + std::chrono::milliseconds(std::max(0, m_settings.replyTimeoutMs));
    for (;;) {
        std::size_t count = 0;
        ReplyReader::Outcome outcome
            = m_reader.read(reply, kLineCapacity, kLineEnds, deadline, count);
        if (outcome == ReplyReader::Outcome::Cut) {
            // The rest of an over-long line belongs to this reply: judged as a reply of its
            // own it would answer the next command and put the engine out of step.
            char rest[kLineCapacity];
            do {
                outcome = m_reader.read(rest, kLineCapacity, kLineEnds, deadline, count);
            } while (outcome == ReplyReader::Outcome::Cut);
        }
        if (outcome != ReplyReader::Outcome::Complete) {
            return outcome;
        }
        if (std::strncmp(reply, "214", 3) != 0) {
            return outcome;
        }
        // An informational line of a multi-line reply; the line that ends it is the answer.
        log(m_reporter, LogLevel::Debug3, "State reply = info (%s)", reply);
    }
}

void SnppEngine::judge(const char* reply)
{
    const char first = reply[0];
    const int begun = begunIndex();
    // Two-way servers answer SEND with 8xx (delivered) or 9xx (queued): the page went out
    // too, and sending it again would page twice.
    const bool sent = m_awaiting == Awaiting::Send && (first == '8' || first == '9');
    if (first == '2' || sent) {
        log(m_reporter, LogLevel::Errors, "State reply = Okay (%s)", reply);
        // Only the answer to SEND settles a message; an accepted pager line delivers nothing.
        if (m_awaiting == Awaiting::Send && begun >= 0) {
            m_messages.setResult(begun, MessageResult::Sent);
        }
        m_state = m_nextState;
        return;
    }
    if (first == '4') {
        log(m_reporter, LogLevel::Errors, "State reply = Fatal (%s)", reply);
        if (begun >= 0) {
            m_messages.setResult(begun, MessageResult::Rejected);
        }
        m_state = SnppState::Disconnect;
        return;
    }
    log(m_reporter, LogLevel::Errors, "State reply = unknown (%s)", reply);
    if (m_awaiting == Awaiting::Greeting || m_awaiting == Awaiting::Reset) {
        // Nothing of a message is pending at the server: carry on, and send no message twice.
        m_state = m_nextState;
        return;
    }
    restart();
}

void SnppEngine::restart()
{
    m_messages.setResult(begunIndex(), MessageResult::TransmissionError);
    if (m_retry < m_settings.maxRestarts) {
        ++m_retry;
        log(m_reporter, LogLevel::Debug3, "State restarts packet %d (retry=%d)", m_current,
            m_retry);
        m_nextState = SnppState::SendPin;
    } else {
        log(m_reporter, LogLevel::Errors, "State packet %d given up after %d restarts", m_current,
            m_retry);
        m_nextState = SnppState::NextPacket;
    }
    // The server still holds what it accepted of this message; it must forget it first.
    m_state = SnppState::SendReset;
}

void SnppEngine::nextPacket()
{
    m_reporter.setPhase(3);
    m_reporter.setStatus("Processing packet...");
    m_reporter.setProgress(2 * m_started);
    log(m_reporter, LogLevel::Errors, "State next packet %d", m_started);
    if (m_started >= m_messages.count()) {
        m_reporter.setLastError(0);
        m_state = SnppState::Disconnect;
        return;
    }
    m_current = m_started;
    ++m_started;
    m_retry = 0;
    m_state = SnppState::SendPin;
}

void SnppEngine::sendPin()
{
    m_reporter.setStatus(format("Packet %d: sending...", m_current));
    if (sendCommand(SnppCommand::pager(m_messages.at(m_current).pagerId), Awaiting::Pager,
                    SnppState::SendMessage)) {
        log(m_reporter, LogLevel::Debug3, "State SendPin (retry=%d)", m_retry);
    } else {
        log(m_reporter, LogLevel::Errors, "State SendPin write pin to port error");
    }
}

void SnppEngine::sendMessage()
{
    if (sendCommand(SnppCommand::message(m_messages.at(m_current).text), Awaiting::Message,
                    SnppState::SendSend)) {
        log(m_reporter, LogLevel::Debug3, "State SendMessage (retry=%d)", m_retry);
    } else {
        log(m_reporter, LogLevel::Errors, "State SendMessage write message to port error");
    }
}

void SnppEngine::sendSend()
{
    if (sendCommand(SnppCommand::send(), Awaiting::Send, SnppState::NextPacket)) {
        log(m_reporter, LogLevel::Errors, "State SendSend (retry=%d)", m_retry);
    } else {
        log(m_reporter, LogLevel::Errors, "State SendSend write to port error");
    }
}

void SnppEngine::sendReset()
{
    m_reporter.setStatus(format("Packet %d: sending...", m_current));
    if (sendCommand(SnppCommand::reset(), Awaiting::Reset, m_nextState)) {
        log(m_reporter, LogLevel::Debug3, "State SendReset (retry=%d)", m_retry);
    } else {
        log(m_reporter, LogLevel::Errors, "State SendReset write to port error");
    }
}

bool SnppEngine::sendCommand(const std::string& line, Awaiting awaiting, SnppState next)
{
    m_reporter.log().writeDump(LogLevel::Debug5, m_reporter.tag(), "Write", line.data(),
                               line.size());
    if (!m_connection.send(line.data(), line.size())) {
        m_reporter.setLastError(200);
        m_state = SnppState::Disconnect;
        return false;
    }
    m_awaiting = awaiting;
    m_nextState = next;
    m_state = SnppState::WaitReply;
    return true;
}

void SnppEngine::disconnect()
{
    log(m_reporter, LogLevel::Debug3, "State disconnect");
    m_reporter.setPhase(4);
    m_reporter.setStatus("Disconnecting");
    const std::string line = SnppCommand::quit();
    m_reporter.log().writeDump(LogLevel::Debug5, m_reporter.tag(), "Write", line.data(),
                               line.size());
    // The goodbye is a courtesy: no reply is awaited and a failure changes nothing.
    (void)m_connection.send(line.data(), line.size());
    m_state = SnppState::Done;
}
