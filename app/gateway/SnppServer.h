#pragma once

#include "gateway/AllowList.h"
#include "gateway/GatewayStatus.h"
#include "threads/WakeEvent.h"
#include "threads/WorkerThread.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

class AddressBookSelection;
class GatewaySender;
class LogFile;
class ProviderDatabase;
class TcpSocket;
struct GatewayOptions;

// The SNPP gateway: a worker thread that reads its settings (SnppSrv), builds the allow list,
// binds the port and then accepts one client after another, checks its host and serves it
// (ClientSession), relaying SEND through the GatewaySender. It ends by itself when disabled
// or when the port cannot be bound; restart() makes it read its settings again, keeping the
// listening socket (and the clients queued on it) when the port stays the same.
class SnppServer final
{
public:
    // The request values of signalValue().
    static constexpr int noSignal = 0;
    static constexpr int restartSignal = 2;
    // How long each wait for a connection lasts, in milliseconds.
    static constexpr int acceptWaitMs = 10000;
    // The listen backlog: clients that wait while one is served. A burst of clients that
    // connect at once (and wait for the greeting) must queue, not be dropped and retried.
    static constexpr int backlog = 256;

    // A gateway that sends through `sender` and checks pager identifiers against the current
    // book of `books` and the provider database (either may be null). It is not started.
    SnppServer(GatewaySender& sender, ProviderDatabase* providers, AddressBookSelection* books,
               Clock& clock = Clock::system());
    // Brings the gateway in line with the settings: starts the thread when it is not running
    // (it ends at once when disabled), otherwise asks it to restart with fresh settings, which
    // it does between clients. Call from one controlling thread.
    void restart();
    // Asks the running thread to restart with fresh settings (signal 2).
    void requestRestart();
    // Asks the thread to end: it stops accepting, gives up the client it serves (a send in
    // progress is left to finish) and returns. The gateway's destruction does this and waits.
    void requestShutdown() { m_thread.requestStop(); }
    // The thread's state; safe from any thread.
    ThreadState state() const { return m_thread.state(); }
    // Waits until the thread has ended.
    void join() { m_thread.join(); }
    // Waits up to `timeout` for the thread to end; true once it has.
    [[nodiscard]] bool waitForEnd(std::chrono::milliseconds timeout)
    {
        return m_thread.waitForEnd(timeout);
    }
    // Why the thread could not start or its body ended with an exception ("" when neither).
    std::string lastErrorText() const { return m_thread.lastErrorText(); }

    // The pending request: 0 none, 2 restart.
    int signalValue() const { return m_signal.load(); }
    // The port the gateway listens on now; 0 while it does not listen.
    int listeningPort() const { return m_listeningPort.load(); }
    // What the latest reading of the settings led to; safe from any thread.
    GatewayStatus status() const;

private:
    void run();

    enum class AcceptOutcome { Client, Restart, Stop };

    AcceptOutcome waitForClient(TcpSocket& listener, std::unique_ptr<TcpSocket>& connection);
    // Takes a queued client without waiting; false when none is queued.
    bool accept(TcpSocket& listener, std::unique_ptr<TcpSocket>& connection);
    void admit(TcpSocket& connection, const GatewayOptions& options);
    bool finishOrContinue();
    void setStatus(GatewayOutcome outcome, const std::string& port, int error = 0,
                   const std::string& errorText = {});

    GatewaySender& m_sender;
    ProviderDatabase* m_providers;
    AddressBookSelection* m_books;
    WakeEvent m_wake;
    std::atomic<int> m_signal {noSignal};
    std::atomic<int> m_listeningPort {0};
    AllowList m_allowList;
    bool m_listening = false; // the listening socket listens (gateway thread only)

    std::mutex m_phaseMutex; // guards m_finishing against restart()
    bool m_finishing = false;

    mutable std::mutex m_statusMutex; // guards m_status
    GatewayStatus m_status;

    WorkerThread m_thread; // last: it ends before the members its body uses
};
