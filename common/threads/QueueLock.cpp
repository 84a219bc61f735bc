#include "threads/QueueLock.h"

#include <chrono>

QueueLock::QueueLock(QueueLockSlot& slot)
    : m_slot(slot)
{ }

QueueLock::~QueueLock()
{
    (void)release();
}

bool QueueLock::acquire(unsigned waitMs)
{
    {
        std::lock_guard guard(m_slot.m_guard);
        if (m_slot.m_owner == this) {
            return true;
        }
        if (m_slot.m_owner == nullptr) {
            m_slot.m_owner = this;
            return true;
        }
        if (!m_waiting) {
            // Nobody can signal this lock before it is in the chain, so the event is reset here
            // and never races a hand-over.
            {
                std::lock_guard event(m_eventMutex);
                m_eventSet = false;
            }
            QueueLock* last = m_slot.m_owner;
            while (last->m_next != nullptr) {
                last = last->m_next;
            }
            last->m_next = this;
            m_next = nullptr;
            m_waiting = true;
        }
    }
    (void)waitForSignal(waitMs);
    // Asked under the guard rather than taken from the event: a hand-over may land just as the
    // time runs out, and the slot is what counts.
    std::lock_guard guard(m_slot.m_guard);
    return m_slot.m_owner == this;
}

bool QueueLock::release()
{
    std::lock_guard guard(m_slot.m_guard);
    if (m_slot.m_owner == this) {
        QueueLock* next = m_next;
        m_next = nullptr;
        m_slot.m_owner = next;
        if (next != nullptr) {
            next->m_waiting = false;
            // Signalled under the slot guard: the new owner cannot release and vanish before
            // its event has been set.
            next->signal();
        }
        return true;
    }
    if (m_waiting) {
        // A waiting lock always has an owner ahead of it, so the walk finds its predecessor.
        QueueLock* previous = m_slot.m_owner;
        while (previous->m_next != this) {
            previous = previous->m_next;
        }
        previous->m_next = m_next;
        m_next = nullptr;
        m_waiting = false;
        return true;
    }
    return false;
}

bool QueueLock::owns() const
{
    std::lock_guard guard(m_slot.m_guard);
    return m_slot.m_owner == this;
}

bool QueueLock::isWaiting() const
{
    std::lock_guard guard(m_slot.m_guard);
    return m_waiting;
}

void QueueLock::signal()
{
    // Notified under the event mutex, so the waiter cannot see the flag, return and destroy
    // the condition variable while the notification is still in progress.
    std::lock_guard event(m_eventMutex);
    m_eventSet = true;
    m_eventCv.notify_one();
}

bool QueueLock::waitForSignal(unsigned waitMs)
{
    std::unique_lock event(m_eventMutex);
    const auto isSet = [this] { return m_eventSet; };
    if (waitMs == 0) {
        m_eventCv.wait(event, isSet);
        return true;
    }
    return m_eventCv.wait_for(event, std::chrono::milliseconds(waitMs), isSet);
}
