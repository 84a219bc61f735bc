#include "sending/Sender.h"

#include "addressing/AddressParser.h"
#include "directories/AddressBookSelection.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "sending/GroupSender.h"
#include "sending/RecipientList.h"
#include "sending/RecipientResolver.h"
#include "sending/SendDrivers.h"
#include "sending/SendPresenter.h"
#include "sending/SendResults.h"
#include "stores/MessageHistory.h"
#include "text/StringTable.h"
#include "threads/QueueLock.h"

#include <utility>

namespace {

// How long a waiting send that shows itself sleeps between serving its thread's events.
constexpr unsigned waitSliceMs = 50;
// The origin of the pipeline's own messages, for their help.
constexpr std::string_view messageOrigin = "main";
// The origin of a send whose caller named none.
constexpr std::string_view unnamedOrigin = "NoName";

// The sender whose send this thread is running or waiting for, if any. A send started again
// on the same thread (from the events a waiting send serves, or from a modal window a send
// shows) would queue behind its own caller and never run.
thread_local const Sender* t_sendOnThisThread = nullptr;

// Marks this thread as inside a send of `sender` for the guard's lifetime.
class ThreadSendMark
{
public:
    explicit ThreadSendMark(const Sender* sender)
        : m_previous(t_sendOnThisThread)
    {
        t_sendOnThisThread = sender;
    }
    ~ThreadSendMark() { t_sendOnThisThread = m_previous; }
    ThreadSendMark(const ThreadSendMark&) = delete;
    ThreadSendMark& operator=(const ThreadSendMark&) = delete;

private:
    const Sender* m_previous;
};

} // namespace

Sender::Sender(ProviderDatabase* providers, AddressBookSelection* books, MessageHistory* history)
    : m_providers(providers)
    , m_books(books)
    , m_history(history)
{ }

Sender::~Sender() = default;

void Sender::setDriverOptions(ControlOptions options)
{
    const std::lock_guard lock(m_settingsMutex);
    m_driverOptions = std::move(options);
}

ControlOptions Sender::driverOptions() const
{
    const std::lock_guard lock(m_settingsMutex);
    return m_driverOptions;
}

void Sender::setPresenter(std::shared_ptr<SendPresenter> presenter)
{
    const std::lock_guard lock(m_settingsMutex);
    m_presenter = std::move(presenter);
}

bool Sender::sendToRecipients(std::string_view recipients, std::string_view message, bool noHistory,
                              bool quiet, std::string_view callerTag, std::int32_t* sentCount,
                              std::int32_t* failedCount, std::int32_t* entryCount,
                              SendResults* results)
{
    const std::string_view originTag = callerTag.empty() ? unnamedOrigin : callerTag;
    if (t_sendOnThisThread == this) {
        return false;
    }
    const ThreadSendMark mark(this);
    ControlOptions options;
    std::shared_ptr<SendPresenter> presenter;
    {
        const std::lock_guard lock(m_settingsMutex);
        options = m_driverOptions;
        if (!quiet) {
            presenter = m_presenter;
        }
    }

    QueueLock sendLock(m_slot);
    if (presenter) {
        // A send that shows itself may run on a GUI thread, which must not stop serving its
        // events while an earlier send (with its results window) is still up.
        while (!sendLock.acquire(waitSliceMs)) {
            presenter->serveEvents();
        }
    } else if (!sendLock.acquire()) {
        return false;
    }

    LogFile log;
    log.openForAppend();
    log.write(LogLevel::Debug, originTag, "sendToRecipients called (%.*s,%.*s,%d,%d)",
              static_cast<int>(recipients.size()), recipients.data(),
              static_cast<int>(message.size()), message.data(), noHistory ? 1 : 0, quiet ? 1 : 0);

    if (!noHistory && m_history != nullptr && !m_history->recordSent(recipients, message)) {
        log.write(LogLevel::Errors, originTag, "Cannot record the send in the history (%s)",
                  MessageHistory::lastErrorText().c_str());
    }

    SendResults ownResults;
    SendResults& rows = results != nullptr ? *results : ownResults;
    rows.clear();

    const std::vector<RecipientEntry> entries = RecipientList::split(recipients);
    AddressParser parser(m_providers);
    RecipientResolver resolver(m_books != nullptr ? m_books->current() : nullptr, parser, rows, log,
                               originTag);
    std::vector<PagerAddress> records = resolver.resolveRecipients(entries);

    int sent = 0;
    if (records.empty()) {
        if (presenter) {
            presenter->showMessage(StringId::NoValidAddress,
                                   StringTable::helpKey(StringId::NoValidAddress), messageOrigin);
        }
    } else {
        SendDrivers drivers(options);
        GroupSender groups({drivers, m_providers, rows, log, originTag, message, presenter.get(),
                            options.isCancelled});
        sent = groups.sendAll(records);
        drivers.destroyAll();
        if (presenter) {
            if (!rows.empty()) {
                presenter->showResults(rows);
            } else {
                presenter->showMessage(StringId::AllMessagesSent,
                                       StringTable::helpKey(StringId::AllMessagesSent),
                                       messageOrigin);
            }
        }
    }

    const auto total = static_cast<std::int32_t>(entries.size());
    if (sentCount != nullptr) {
        *sentCount = sent;
    }
    if (failedCount != nullptr) {
        *failedCount = total - sent;
    }
    if (entryCount != nullptr) {
        *entryCount = total;
    }
    log.close();
    sendLock.release();
    return true;
}
