#pragma once

#include "plugin/ControlLoader.h"
#include "threads/QueueLockSlot.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>

class AddressBookSelection;
class MessageHistory;
class ProviderDatabase;
class SendPresenter;
class SendResults;

// The one road by which pages leave the program. One Sender serves the whole process: the
// compose window, the scheduler thread and the SNPP gateway thread all call
// sendToRecipients, which resolves the recipients, runs one driver transmission per
// (protocol, number), collects one result row per recipient and logs it all under the origin
// tag of the call. Sends run strictly one at a time, in order of arrival.
class Sender
{
public:
    // A sender that resolves names in the current book of `books`, translates and names
    // providers through `providers` and records sends in `history`; any may be null (no book:
    // names do not resolve; no database: numbers stand for provider names; no history:
    // nothing is recorded). They must outlive the sender.
    Sender(ProviderDatabase* providers, AddressBookSelection* books, MessageHistory* history);
    ~Sender();
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    // What every driver control is created with: the owner window for its dialogs, whether a
    // progress window is wanted (only where a GUI runs), and the host's cancel callback.
    void setDriverOptions(ControlOptions options);
    // The driver options now in force.
    ControlOptions driverOptions() const;
    // Where sends that are not quiet show their messages and results (null: nowhere).
    void setPresenter(std::shared_ptr<SendPresenter> presenter);

    // Sends `message` to the ";"-separated `recipients`, logging as `originTag` ("Local",
    // "Sch(name)", "SNPP(host)"; "NoName" when empty). Unless `noHistory`, the send is
    // recorded in the history before any page goes. Unless `quiet`, the presenter shows
    // message 102 (no address resolved), the results (any row) or message 117 (all sent).
    // Afterwards the optional outputs hold the pages sent, the entries not sent (entries minus
    // sent), the number of entries and the result rows. Returns when the send is over; false
    // only when the send lock could not be taken (also when this thread is already inside a
    // send of this sender, e.g. from a window the send shows), in which case nothing happened.
    [[nodiscard]] bool sendToRecipients(std::string_view recipients, std::string_view message,
                                        bool noHistory, bool quiet, std::string_view originTag,
                                        std::int32_t* sentCount = nullptr,
                                        std::int32_t* failedCount = nullptr,
                                        std::int32_t* entryCount = nullptr,
                                        SendResults* results = nullptr);

    // Whether a send is running.
    bool isSending() const { return m_slot.owner() != nullptr; }
    // The number of sends waiting for the running one.
    std::size_t waitingSends() const { return m_slot.waitingCount(); }

private:
    ProviderDatabase* m_providers;
    AddressBookSelection* m_books;
    MessageHistory* m_history;
    QueueLockSlot m_slot;

    mutable std::mutex m_settingsMutex; // guards the two settings below
    ControlOptions m_driverOptions;
    std::shared_ptr<SendPresenter> m_presenter;
};
