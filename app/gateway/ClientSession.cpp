#include "gateway/ClientSession.h"

#include "gateway/CommandInterpreter.h"
#include "gateway/CommandReader.h"
#include "gateway/GatewaySettings.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "net/TcpSocket.h"

#include <chrono>
#include <utility>

namespace {

// Writes the step's log lines and sends its replies, all in one send so that they leave
// together; a client that has gone simply does not receive them.
void deliver(const GatewayStep& step, TcpSocket& connection, LogFile& log)
{
    for (const GatewayLogLine& line : step.log) {
        log.write(line.level, GatewaySettings::logTag, "%s", line.text.c_str());
    }
    std::string wire;
    for (const GatewayReply& reply : step.replies) {
        wire += reply.wireText();
    }
    if (!wire.empty()) {
        (void)connection.send(wire.data(), wire.size());
    }
}

} // namespace

ClientSession::ClientSession(TcpSocket& connection, const CommandInterpreter& interpreter,
                             GatewaySender& sender, WakeEvent* wake, std::function<bool()> abandon,
                             int sessionTimeoutMs)
    : m_connection(connection)
    , m_interpreter(interpreter)
    , m_sender(sender)
    , m_wake(wake)
    , m_abandon(std::move(abandon))
    , m_sessionTimeoutMs(sessionTimeoutMs)
{ }

void ClientSession::serve(LogFile& log)
{
    using Clock = std::chrono::steady_clock;
    CommandReader reader(m_connection, m_wake, m_abandon);
    Clock::time_point deadline = Clock::time_point::max();
    if (m_sessionTimeoutMs > 0) {
        deadline = Clock::now() + std::chrono::milliseconds(m_sessionTimeoutMs);
        reader.setDeadline(deadline);
    }
    GatewayStep step = m_interpreter.greeting(GatewayState());
    deliver(step, m_connection, log);
    for (;;) {
        std::string line;
        const ReadOutcome outcome = reader.readLine(line);
        if (outcome == ReadOutcome::Abandoned) {
            break;
        }
        if (outcome == ReadOutcome::Lost && reader.deadlinePassed()) {
            log.write(LogLevel::Debug4, GatewaySettings::logTag, "<%s> session time (%d ms) is up",
                      m_interpreter.clientAddress().c_str(), m_sessionTimeoutMs);
        }
        step = outcome == ReadOutcome::Lost ? m_interpreter.lost(step.state, reader.partial())
                                            : m_interpreter.step(step.state, line);
        if (step.action == GatewayAction::Send) {
            deliver(step, m_connection, log);
            const Clock::time_point sendStart = Clock::now();
            GatewaySendCounts counts;
            const bool started = m_sender.sendGatewayPages(
                step.state.addressList, step.state.messageText, m_interpreter.originTag(), counts);
            step = m_interpreter.sendDone(step.state, started, counts);
            if (deadline != Clock::time_point::max()) {
                // The client waited for the relay (and the send lock): not its time.
                deadline += Clock::now() - sendStart;
                reader.setDeadline(deadline);
            }
        }
        deliver(step, m_connection, log);
        if (step.action == GatewayAction::Close) {
            break;
        }
    }
    log.write(LogLevel::Debug4, GatewaySettings::logTag, "<%s> closing connection",
              m_interpreter.clientAddress().c_str());
    m_connection.close();
    log.close();
}
