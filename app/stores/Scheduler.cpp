#include "stores/Scheduler.h"

#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "stores/SavedMessageStore.h"
#include "stores/Schedule.h"
#include "stores/ScheduledSender.h"

#include <vector>

Scheduler::Scheduler(SavedMessageStore& store, ScheduledSender& sender, Clock& clock,
                     std::chrono::milliseconds interval)
    : m_store(store)
    , m_sender(sender)
    , m_interval(interval)
    , m_thread([this](WorkerThread&) { run(); }, clock)
{ }

std::string Scheduler::originTag(std::string_view name)
{
    return "Sch(" + std::string(name.substr(0, originNameLength)) + ")";
}

std::int64_t Scheduler::secondsNow() const
{
    return std::chrono::duration_cast<std::chrono::seconds>(
               m_thread.clock().now().time_since_epoch())
        .count();
}

void Scheduler::run()
{
    while (m_thread.sleepFor(m_interval)) {
        (void)runPass();
    }
}

int Scheduler::runPass()
{
    // One time for the whole pass: messages due in the same minute all go in this pass, even
    // when the sends before them take longer than the minute.
    const std::int64_t now = secondsNow();
    std::vector<SavedMessage> records;
    if (!m_store.list(records)) {
        return 0;
    }
    int sent = 0;
    for (std::size_t position = 0; position < records.size(); ++position) {
        const SavedMessage& record = records[position];
        Schedule schedule = Schedule::fromText(record.schedule);
        if (!schedule.isDue(now)) {
            continue;
        }
        if (m_thread.stopRequested()) {
            break;
        }
        const std::string tag = originTag(record.name);
        schedule.lastSent = secondsNow();
        // Guarded by the whole record as read: the recipients and message sent below are
        // then exactly those on disk, and a schedule the user edited meanwhile is not
        // overwritten with the old one.
        if (!m_store.replaceAt(static_cast<int>(position), RecordGuard::exactly(record),
                               schedule.format(), std::nullopt, std::nullopt)) {
            LogFile log;
            if (SavedMessageStore::lastError() == StoreErrorCode::RecordChanged) {
                log.write(LogLevel::Debug, tag,
                          "Saved message changed before it was marked as sent; looked at again "
                          "in the next pass (%s)",
                          SavedMessageStore::lastErrorText().c_str());
            } else {
                log.write(LogLevel::Errors, tag, "Cannot mark saved message as sent, not sent (%s)",
                          SavedMessageStore::lastErrorText().c_str());
            }
            continue;
        }
        (void)m_sender.sendScheduled(record.recipients, record.message, tag);
        ++sent;
    }
    return sent;
}
