#pragma once

#include <cstddef>
#include <mutex>

class QueueLock;

// The owner slot of a first-come-first-served lock: records which QueueLock owns the shared
// resource, and guards the chain of locks waiting behind it. Every party that wants the
// resource makes its own QueueLock on the same slot. The slot must outlive those locks.
class QueueLockSlot
{
public:
    QueueLockSlot() = default;
    // No lock may still own or wait on the slot.
    ~QueueLockSlot();
    QueueLockSlot(const QueueLockSlot&) = delete;
    QueueLockSlot& operator=(const QueueLockSlot&) = delete;

    // The lock that owns the slot now, or nullptr when it is free.
    const QueueLock* owner() const;
    // The number of locks queued behind the owner.
    std::size_t waitingCount() const;

private:
    friend class QueueLock;

    // The one short guard of the slot: every change to the owner and the chain is made under
    // it, and no thread waits for its turn while holding it.
    mutable std::mutex m_guard;
    QueueLock* m_owner = nullptr;
};
