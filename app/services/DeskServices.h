#pragma once

#include "directories/AddressBookSelection.h"
#include "directories/ProviderDatabase.h"
#include "gateway/GatewayStatus.h"
#include "gateway/SnppServer.h"
#include "sending/GatewaySendAdapter.h"
#include "sending/SchedulerSendAdapter.h"
#include "sending/Sender.h"
#include "services/ServicesError.h"
#include "stores/MessageHistory.h"
#include "stores/SavedMessageStore.h"
#include "stores/Scheduler.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class UserPrompt;

// The program's background services, composed once for "norvane-cli serve" and the desktop
// program: the directories (provider database, address books), the one Sender with the
// scheduler's and the gateway's roads to it, the message stores, the SNPP gateway thread and
// the scheduler thread. Start, restart and stop are written to the shared log under the
// owner's origin tag. Call it from one controlling thread; the threads it starts are joined
// here, by their owner.
class DeskServices
{
public:
    // How long a stop waits at most between two looks at the threads.
    static constexpr std::chrono::milliseconds stopSlice {100};

    // What a stop does while it waits for the threads, at most the time it is given (serve
    // takes signals there, a GUI serves its events). Without one, the stop waits on a thread.
    using StopPause = std::function<void(std::chrono::milliseconds most)>;

    // Services whose directories ask and report through `prompt` and whose log lines carry
    // `logTag`. Nothing is opened or started yet.
    DeskServices(std::shared_ptr<UserPrompt> prompt, std::string_view logTag);
    // Cancels the send in progress, ends both threads and joins them (unbounded: after a stop
    // that ran out of time the owner ends the process instead of destroying the services).
    ~DeskServices();
    DeskServices(const DeskServices&) = delete;
    DeskServices& operator=(const DeskServices&) = delete;

    // Opens the provider database, locating it through the prompt. False when it cannot be
    // used (numbers still go; provider names do not translate).
    [[nodiscard]] bool openProviders();
    // Selects the address book that the settings name (adbType) and opens it; again after the
    // settings changed, the gateway and the sends use the new book from then on. False when
    // that book cannot be opened (names do not resolve in it); no book named is no failure.
    [[nodiscard]] bool selectAddressBook();

    // Works out the stores' paths, logs the start and starts the gateway and scheduler
    // threads. False when the system refused one of them; the other is then cancelled and
    // waited for as a stop would (stopWait()), and threadsLeft() tells whether it still runs.
    [[nodiscard]] bool start();
    // Makes the gateway read its settings again (starting its thread when it does not run),
    // as closing the Options sheet does. False when its thread could not start.
    [[nodiscard]] bool restartGateway();
    // Cancels the send in progress and asks both threads to end, waiting at most `bound` for
    // them, with `pause` between looks. False when one still runs at the bound.
    [[nodiscard]] bool stop(std::chrono::milliseconds bound, const StopPause& pause = {});
    // How many of the two threads the last stop (or failed start) left running: 0 when it
    // ended both, 2 while the services run.
    int threadsLeft() const;

    // The bound of a stop from the settings (Serve\stopWaitMs).
    static std::chrono::milliseconds stopWait();
    // What the gateway's latest reading of its settings led to; safe from any thread.
    GatewayStatus gatewayStatus() const { return m_gateway.status(); }

    // The provider database.
    ProviderDatabase& providers() { return m_providers; }
    // The address books, with the current one.
    AddressBookSelection& books() { return m_books; }
    // The one Sender of the program (sends of the scheduler and gateway go quietly, without
    // history; the driver options carry the services' cancel callback).
    Sender& sender() { return m_sender; }
    // The saved messages the scheduler sends.
    SavedMessageStore& savedMessages() { return m_store; }
    // The message history the Sender records sends in.
    MessageHistory& history() { return m_history; }

    // What the last failed action ran into.
    ServicesError lastError() const { return m_lastError; }
    // What failed and on what, for the user ("" before any failure).
    const std::string& lastErrorText() const { return m_lastErrorText; }

private:
    void requestStop();
    bool waitForThreads(std::chrono::steady_clock::time_point deadline, const StopPause& pause);
    std::string threadsText() const;
    bool fail(ServicesError error, std::string text);

    const std::string m_logTag;
    // Polled by the drivers of the running send (and by the send before each transmission).
    std::atomic<bool> m_cancelled {false};
    ProviderDatabase m_providers;
    AddressBookSelection m_books;
    MessageHistory m_history;
    Sender m_sender;
    GatewaySendAdapter m_gatewayRoad;
    SchedulerSendAdapter m_schedulerRoad;
    SavedMessageStore m_store;
    SnppServer m_gateway;
    Scheduler m_scheduler;
    bool m_gatewayEnded = true;
    bool m_schedulerEnded = true;

    ServicesError m_lastError = ServicesError::None;
    std::string m_lastErrorText;
};
