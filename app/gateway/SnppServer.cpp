#include "gateway/SnppServer.h"

#include "directories/AddressBookSelection.h"
#include "gateway/BookAddressJudge.h"
#include "gateway/ClientSession.h"
#include "gateway/CommandInterpreter.h"
#include "gateway/GatewayReply.h"
#include "gateway/GatewaySettings.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "net/SocketError.h"
#include "net/SystemCalls.h"
#include "net/TcpSocket.h"
#include "settings/SettingsKey.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>

namespace {

constexpr std::string_view tag = GatewaySettings::logTag;

// The pause that lets a refusal leave before its connection is closed.
constexpr std::chrono::milliseconds refusalPause {2};
// The pause after a wait for a connection that failed.
constexpr std::chrono::milliseconds failedWaitPause {100};

} // namespace

SnppServer::SnppServer(GatewaySender& sender, ProviderDatabase* providers,
                       AddressBookSelection* books, Clock& clock)
    : m_sender(sender)
    , m_providers(providers)
    , m_books(books)
    // A stop request also wakes the waits for a connection and for a client's line.
    , m_thread([this](WorkerThread&) { run(); }, clock, [this] { m_wake.signal(); })
{ }

void SnppServer::restart()
{
    {
        std::lock_guard lock(m_phaseMutex);
        const ThreadState current = m_thread.state();
        if (current == ThreadState::Started || (current == ThreadState::Running && !m_finishing)) {
            requestRestart();
            return;
        }
    }
    // The body has ended or is ending by itself: wait for it, then run a new one.
    m_thread.join();
    {
        std::lock_guard lock(m_phaseMutex);
        m_finishing = false;
    }
    (void)m_thread.start();
}

void SnppServer::requestRestart()
{
    m_signal.store(restartSignal);
    m_wake.signal();
}

GatewayStatus SnppServer::status() const
{
    std::lock_guard lock(m_statusMutex);
    return m_status;
}

void SnppServer::setStatus(GatewayOutcome outcome, const std::string& port, int error,
                           const std::string& errorText)
{
    std::lock_guard lock(m_statusMutex);
    ++m_status.serial;
    m_status.outcome = outcome;
    m_status.port = port;
    m_status.error = error;
    m_status.errorText = errorText;
}

bool SnppServer::finishOrContinue()
{
    // A restart asked for while the body was deciding to end must not be lost: the body reads
    // its settings again instead.
    std::lock_guard lock(m_phaseMutex);
    if (m_signal.exchange(noSignal) != noSignal && !m_thread.stopRequested()) {
        return false;
    }
    m_finishing = true;
    return true;
}

void SnppServer::run()
{
    // Kept across a restart that leaves the port as it was, so that clients waiting in its
    // queue are served rather than reset.
    std::unique_ptr<TcpSocket> listener;
    std::string boundPort;
    const auto closeListener = [&] {
        m_listeningPort.store(0);
        listener.reset();
        boundPort.clear();
    };
    for (;;) {
        // Taken before the settings are read, so that a request made while they are read is
        // still seen afterwards.
        m_signal.store(noSignal);
        LogFile log;
        const SettingsKey settings(RootKey::CurrentUser, GatewaySettings::SnppSrv::key);
        const std::string port = settings.read(GatewaySettings::SnppSrv::port);
        const bool enabled = settings.read(GatewaySettings::SnppSrv::enabled);
        GatewayOptions options;
        options.fromAdbOnly = settings.read(GatewaySettings::SnppSrv::fromAdbOnly);
        options.level2Login = settings.read(GatewaySettings::SnppSrv::level2Login);
        const std::int32_t sessionTimeoutMs
            = settings.read(GatewaySettings::SnppSrv::sessionTimeoutMs);
        options.sessionTimeoutMs = sessionTimeoutMs > 0
            ? sessionTimeoutMs
            : GatewaySettings::SnppSrv::sessionTimeoutMs.fallback;
        log.write(LogLevel::Debug2, tag,
                  "Start thread (enabled=%d, port=%s, allowHosts=%s, fromAdbOnly=%d)",
                  enabled ? 1 : 0, port.c_str(), "", options.fromAdbOnly ? 1 : 0);
        {
            const SettingsKey hosts(RootKey::CurrentUser, GatewaySettings::Hosts::key);
            m_allowList.load(hosts, log);
        }
        if (!enabled) {
            closeListener();
            log.write(LogLevel::Debug, tag, "Disabled - ending thread");
            setStatus(GatewayOutcome::Disabled, port);
            if (finishOrContinue()) {
                return;
            }
            continue;
        }
        if (listener && port != boundPort) {
            closeListener();
        }
        if (!listener) {
            listener = std::make_unique<TcpSocket>();
            // Without it a restart could not bind the port again while the connections just
            // closed linger in TIME_WAIT; two listeners on one port are still refused. Without
            // a socket yet the call is false and the choice is kept for the bind.
            (void)listener->setReuseAddress(true);
            if (!listener->bind(port)) {
                log.write(LogLevel::Errors, tag, "Cannot open server port (erc=%d)",
                          listener->lastError());
                setStatus(GatewayOutcome::PortFailed, port, listener->lastError(),
                          listener->lastErrorText());
                listener.reset();
                if (finishOrContinue()) {
                    return;
                }
                continue;
            }
            boundPort = port;
            // Accepting never blocks: a queued client that resets before it is taken must not
            // hold the thread beyond its waits.
            SystemCalls& calls = SystemCalls::current();
            const int flags = calls.fcntl(listener->handle(), F_GETFL, 0);
            if (flags >= 0) {
                (void)calls.fcntl(listener->handle(), F_SETFL, flags | O_NONBLOCK);
            }
            m_listening = calls.listen(listener->handle(), backlog) == 0;
            // TcpSocket lingers by default and connections inherit it from their listener:
            // close() would then hold the gateway while a client does not read. The system
            // still delivers what was sent.
            (void)listener->setLinger(false, 0);
        }
        m_listeningPort.store(listener->port());
        setStatus(GatewayOutcome::Listening, port);
        log.close();

        AcceptOutcome outcome = AcceptOutcome::Client;
        while (outcome == AcceptOutcome::Client) {
            std::unique_ptr<TcpSocket> connection;
            outcome = waitForClient(*listener, connection);
            if (connection) {
                admit(*connection, options);
            }
        }
        if (outcome == AcceptOutcome::Stop) {
            closeListener();
            log.write(LogLevel::Debug, tag, "Stop requested - ending thread");
            setStatus(GatewayOutcome::Stopped, port);
            if (finishOrContinue()) {
                return;
            }
            continue;
        }
        log.write(LogLevel::Debug4, tag, "Received signal (%d)", restartSignal);
        log.close();
    }
}

SnppServer::AcceptOutcome SnppServer::waitForClient(TcpSocket& listener,
                                                    std::unique_ptr<TcpSocket>& connection)
{
    SystemCalls& calls = SystemCalls::current();
    if (m_thread.stopRequested()) {
        return AcceptOutcome::Stop;
    }
    if (m_signal.load() != noSignal) {
        return AcceptOutcome::Restart;
    }
    if (!m_listening) {
        m_listening = calls.listen(listener.handle(), backlog) == 0;
    }
    // A client already queued is taken at once; only an empty queue is waited on.
    if (m_listening && accept(listener, connection)) {
        return AcceptOutcome::Client;
    }
    pollfd entries[2] = {{m_wake.fd(), POLLIN, 0}, {listener.handle(), POLLIN, 0}};
    // A socket that cannot listen would report itself ready at once; then only the wake-up
    // and the waiting time count.
    const nfds_t count = m_listening ? 2 : 1;
    const int ready = calls.poll(entries, count, acceptWaitMs);
    if (ready < 0 && errno != EINTR) {
        // A wait that fails at once must not turn the loop into a busy one.
        (void)m_thread.sleepFor(failedWaitPause);
        return AcceptOutcome::Client;
    }
    if (entries[0].revents != 0) {
        m_wake.clear();
    }
    if (m_thread.stopRequested()) {
        return AcceptOutcome::Stop;
    }
    if (m_signal.load() != noSignal) {
        // A connection that came in the same wait stays in the queue: it is served after the
        // restart when the port stays, and dropped with the listener otherwise.
        return AcceptOutcome::Restart;
    }
    if (m_listening && entries[1].revents != 0) {
        // The connection may have gone again; then there is simply none this time.
        (void)accept(listener, connection);
    }
    return AcceptOutcome::Client;
}

bool SnppServer::accept(TcpSocket& listener, std::unique_ptr<TcpSocket>& connection)
{
    int handle = -1;
    do {
        handle = SystemCalls::current().accept(listener.handle(), nullptr, nullptr, SOCK_CLOEXEC);
    } while (handle < 0 && errno == EINTR);
    if (handle < 0) {
        return false;
    }
    connection = std::make_unique<TcpSocket>(handle);
    return true;
}

void SnppServer::admit(TcpSocket& connection, const GatewayOptions& options)
{
    LogFile log;
    std::string client;
    errno = 0;
    if (!connection.peerAddress(client)) {
        const int error = errno;
        const GatewayReply refusal {421, std::string(GatewayText::hostUnknown)};
        const std::string wire = refusal.wireText();
        (void)connection.send(wire.data(), wire.size());
        log.write(LogLevel::Security, tag, "Remote host denied (identity cannot be verified,%d)",
                  error != 0 ? toCode(SocketError::SystemBase) + error : 0);
        (void)m_thread.sleepFor(refusalPause);
        connection.close();
        return;
    }
    if (!m_allowList.allows(client)) {
        const GatewayReply refusal {421, std::string(GatewayText::hostDenied)};
        const std::string wire = refusal.wireText();
        (void)connection.send(wire.data(), wire.size());
        log.write(LogLevel::Security, tag, "Remote host (%s) access denied", client.c_str());
        (void)m_thread.sleepFor(refusalPause);
        connection.close();
        return;
    }
    log.write(LogLevel::Info, tag, "Connection accepted from host(%s)", client.c_str());
    log.close();
    AddressBook* book = m_books != nullptr ? m_books->current() : nullptr;
    BookAddressJudge judge(m_providers, book);
    const CommandInterpreter interpreter(client, options, judge);
    ClientSession session(
        connection, interpreter, m_sender, &m_wake, [this] { return m_thread.stopRequested(); },
        options.sessionTimeoutMs);
    // The session logs through the admission's log: one reading of the log settings per
    // client.
    session.serve(log);
}
