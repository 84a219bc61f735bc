#include "threads/QueueLockSlot.h"

#include "threads/QueueLock.h"

#include <cassert>

QueueLockSlot::~QueueLockSlot()
{
    assert(m_owner == nullptr && "a QueueLockSlot is destroyed while a lock still holds it");
}

const QueueLock* QueueLockSlot::owner() const
{
    std::lock_guard guard(m_guard);
    return m_owner;
}

std::size_t QueueLockSlot::waitingCount() const
{
    std::lock_guard guard(m_guard);
    std::size_t count = 0;
    for (const QueueLock* lock = m_owner ? m_owner->m_next : nullptr; lock != nullptr;
         lock = lock->m_next) {
        ++count;
    }
    return count;
}
