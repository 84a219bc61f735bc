#pragma once

#include "threads/QueueLockSlot.h"

#include <condition_variable>
#include <mutex>

// One party's handle on a first-come-first-served lock. Locks on the same QueueLockSlot
// queue behind the owner in their order of arrival; each release hands the slot to the next
// lock in line and wakes exactly that one. A QueueLock is used by one thread at a time; the
// state queries may be called from any thread.
//
// A timed acquire that runs out keeps the lock's place in the queue, so a thread that must stay
// responsive (the GUI thread serving its events) waits in short slices:
//     while (!lock.acquire(50)) serveEvents();
class QueueLock
{
public:
    // A lock on `slot`, neither owning nor waiting.
    explicit QueueLock(QueueLockSlot& slot);
    // Gives the slot away, or leaves the queue, as release() does.
    ~QueueLock();
    QueueLock(const QueueLock&) = delete;
    QueueLock& operator=(const QueueLock&) = delete;

    // Takes the slot: true at once when this lock owns it already or it is free; otherwise
    // queues behind the last arrival (or keeps its place from an earlier timed-out call) and
    // waits up to `waitMs` milliseconds (0: no limit). False when the time ran out, with the
    // lock still queued: call acquire() again to go on waiting, or release() to give up.
    [[nodiscard]] bool acquire(unsigned waitMs = 0);
    // Gives the slot to the next lock in line (or frees it) when this lock owns it, or leaves
    // the queue when it waits; true when it did either, false when the lock was idle.
    bool release();
    // Whether this lock owns the slot.
    bool owns() const;
    // Whether this lock is queued waiting for the slot.
    bool isWaiting() const;

private:
    friend class QueueLockSlot;

    void signal();
    bool waitForSignal(unsigned waitMs);

    QueueLockSlot& m_slot;
    // Under m_slot.m_guard: the next lock in the chain and whether this one is queued.
    QueueLock* m_next = nullptr;
    bool m_waiting = false;

    // The lock's own wake-up event, set once when the slot is handed to it.
    std::mutex m_eventMutex;
    std::condition_variable m_eventCv;
    bool m_eventSet = false;
};
