#include "threads/QueueLock.h"

#include "Eventually.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Parties that each take the lock on their own thread (waiting without limit), note their
// name in the order they got the slot, and give it back.
class Parties
{
public:
    explicit Parties(QueueLockSlot& slot)
        : m_slot(slot)
    { }
    ~Parties() { joinAll(); }

    // Starts party `name` and waits until it has joined the queue, which fixes its place.
    void arrive(char name)
    {
        auto lock = std::make_unique<QueueLock>(m_slot);
        QueueLock* raw = lock.get();
        m_locks.push_back(std::move(lock));
        m_threads.emplace_back([this, raw, name] {
            if (raw->acquire(0)) {
                record(name);
                raw->release();
            }
        });
        ASSERT_TRUE(eventually([raw] { return raw->isWaiting(); })) << "party " << name;
    }
    void record(char name)
    {
        std::lock_guard guard(m_mutex);
        m_order.push_back(name);
    }
    std::string order()
    {
        std::lock_guard guard(m_mutex);
        return m_order;
    }
    // Waits (real time) until `count` parties have had the slot.
    bool served(std::size_t count)
    {
        return eventually([&] { return order().size() >= count; });
    }
    void joinAll()
    {
        for (auto& thread : m_threads) {
            thread.join();
        }
        m_threads.clear();
    }

private:
    QueueLockSlot& m_slot;
    std::mutex m_mutex;
    std::string m_order;
    std::vector<std::unique_ptr<QueueLock>> m_locks;
    std::vector<std::thread> m_threads;
};

TEST(QueueLockTest, FreeSlotIsTakenAtOnce)
{
    for (const unsigned waitMs : {0U, 5U}) {
        SCOPED_TRACE(waitMs);
        QueueLockSlot slot;
        QueueLock lock(slot);
        EXPECT_EQ(slot.owner(), nullptr);
        EXPECT_FALSE(lock.owns());
        EXPECT_TRUE(lock.acquire(waitMs));
        EXPECT_TRUE(lock.owns());
        EXPECT_FALSE(lock.isWaiting());
        EXPECT_EQ(slot.owner(), &lock);
        EXPECT_TRUE(lock.release());
        EXPECT_EQ(slot.owner(), nullptr);
        EXPECT_FALSE(lock.owns());
    }
}

TEST(QueueLockTest, WaitersGetTheSlotInTheirOrderOfArrival)
{
    QueueLockSlot slot;
    Parties parties(slot);
    auto owner = std::make_unique<QueueLock>(slot);
    ASSERT_TRUE(owner->acquire(0));
    for (const char name : std::string("ABC")) {
        parties.arrive(name);
    }
    EXPECT_EQ(slot.waitingCount(), 3U);
    EXPECT_EQ(parties.order(), "");
    EXPECT_TRUE(owner->release());
    parties.joinAll();
    EXPECT_EQ(parties.order(), "ABC");
    EXPECT_EQ(slot.owner(), nullptr);
    EXPECT_EQ(slot.waitingCount(), 0U);
}

TEST(QueueLockTest, OwnerDestroyedHandsTheSlotOn)
{
    QueueLockSlot slot;
    Parties parties(slot);
    auto owner = std::make_unique<QueueLock>(slot);
    ASSERT_TRUE(owner->acquire(0));
    parties.arrive('A');
    owner.reset();
    parties.joinAll();
    EXPECT_EQ(parties.order(), "A");
}

TEST(QueueLockTest, OwnerAcquiringAgainKeepsNoCount)
{
    QueueLockSlot slot;
    Parties parties(slot);
    QueueLock owner(slot);
    ASSERT_TRUE(owner.acquire(0));
    ASSERT_TRUE(owner.acquire(0));
    ASSERT_TRUE(owner.acquire(10));
    parties.arrive('A');
    // One release gives the slot away, however often it was acquired.
    EXPECT_TRUE(owner.release());
    EXPECT_FALSE(owner.owns());
    EXPECT_TRUE(parties.served(1));
    EXPECT_FALSE(owner.release());
    parties.joinAll();
    EXPECT_EQ(parties.order(), "A");
}

TEST(QueueLockTest, ReleaseByALockThatNeitherOwnsNorWaitsChangesNothing)
{
    QueueLockSlot slot;
    Parties parties(slot);
    QueueLock owner(slot);
    QueueLock idle(slot);
    EXPECT_FALSE(idle.release());
    ASSERT_TRUE(owner.acquire(0));
    parties.arrive('A');
    EXPECT_FALSE(idle.release());
    EXPECT_EQ(slot.owner(), &owner);
    EXPECT_EQ(slot.waitingCount(), 1U);
    EXPECT_EQ(parties.order(), "");
    EXPECT_TRUE(owner.release());
    parties.joinAll();
    EXPECT_EQ(parties.order(), "A");
}

TEST(QueueLockTest, TimedOutAcquireKeepsItsPlace)
{
    QueueLockSlot slot;
    Parties parties(slot);
    QueueLock owner(slot);
    ASSERT_TRUE(owner.acquire(0));
    QueueLock early(slot);
    EXPECT_FALSE(early.acquire(20));
    EXPECT_TRUE(early.isWaiting());
    EXPECT_FALSE(early.acquire(1));
    parties.arrive('B');
    EXPECT_EQ(slot.waitingCount(), 2U);

    // The slot goes to the lock that came first even while it is not inside acquire().
    EXPECT_TRUE(owner.release());
    EXPECT_TRUE(early.owns());
    EXPECT_FALSE(early.isWaiting());
    EXPECT_TRUE(early.acquire(1));
    EXPECT_EQ(parties.order(), "");
    EXPECT_TRUE(early.release());
    parties.joinAll();
    EXPECT_EQ(parties.order(), "B");
}

TEST(QueueLockTest, RepeatedTimedAcquireEndsWhenTheSlotIsHandedOver)
{
    QueueLockSlot slot;
    auto owner = std::make_unique<QueueLock>(slot);
    ASSERT_TRUE(owner->acquire(0));
    QueueLock waiter(slot);
    EXPECT_FALSE(waiter.acquire(5));
    std::thread releaser([&] {
        std::this_thread::sleep_for(30ms);
        owner->release();
    });
    // The way the GUI thread waits: short slices, serving its events in between.
    int slices = 0;
    while (!waiter.acquire(2)) {
        ++slices;
        ASSERT_LT(slices, 10000);
    }
    releaser.join();
    EXPECT_TRUE(waiter.owns());
    EXPECT_GT(slices, 0);
}

// A waiting lock that leaves the queue, by release() or by its end, must take nothing but
// itself out of the chain, wherever it stands.
TEST(QueueLockTest, WaiterLeavingTheQueueKeepsTheChainWhole)
{
    struct Case
    {
        std::size_t position; // the leaver's place among the four waiters
        bool byDestruction;
    };
    const std::string names = "ABC";
    for (const Case c : {Case {0, false}, Case {1, false}, Case {3, false}, Case {0, true},
                         Case {2, true}, Case {3, true}}) {
        SCOPED_TRACE(testing::Message() << "position " << c.position
                                        << (c.byDestruction ? ", destroyed" : ", released"));
        QueueLockSlot slot;
        Parties parties(slot);
        QueueLock owner(slot);
        ASSERT_TRUE(owner.acquire(0));
        auto leaver = std::make_unique<QueueLock>(slot);
        std::size_t arrived = 0;
        for (std::size_t place = 0; place < 4; ++place) {
            if (place == c.position) {
                ASSERT_FALSE(leaver->acquire(1));
            } else {
                parties.arrive(names[arrived++]);
            }
        }
        ASSERT_EQ(slot.waitingCount(), 4U);
        if (c.byDestruction) {
            leaver.reset();
        } else {
            EXPECT_TRUE(leaver->release());
            EXPECT_FALSE(leaver->isWaiting());
            EXPECT_FALSE(leaver->release());
        }
        EXPECT_EQ(slot.waitingCount(), 3U);
        EXPECT_TRUE(owner.release());
        parties.joinAll();
        EXPECT_EQ(parties.order(), "ABC");
        if (leaver) {
            EXPECT_FALSE(leaver->owns());
            // A lock that left may queue again, at the end.
            EXPECT_TRUE(leaver->acquire(0));
            EXPECT_TRUE(leaver->release());
        }
        EXPECT_EQ(slot.owner(), nullptr);
    }
}

} // namespace
