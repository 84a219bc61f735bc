#include "threads/QueueLock.h"
#include "threads/WorkerThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

// The same checks run briefly in the default test run and at length under the "stress" label.
#ifdef NORVANE_LONG_STRESS
#define THREADS_STRESS_SUITE ThreadsLongStressTest
constexpr int lockThreads = 12;
constexpr int lockRounds = 1500;
constexpr int restarts = 3000;
#else
#define THREADS_STRESS_SUITE ThreadsStressTest
constexpr int lockThreads = 4;
constexpr int lockRounds = 150;
constexpr int restarts = 200;
#endif

namespace {

constexpr long untracked = -1;

// What every party saw, checked after the run.
struct LockRun
{
    QueueLockSlot slot;
    std::atomic<int> inside {0};
    std::atomic<int> overlaps {0};
    // Written only while holding the queue lock, so ThreadSanitizer reports any overlap too.
    std::vector<long> entries;

    // Tickets are drawn under this mutex together with joining the queue, so that ticket order
    // is queue order and FIFO hand-over shows as rising tickets.
    std::mutex arrival;
    long nextTicket = 0;
    std::atomic<long> abandoned {0};
    std::atomic<long> timedOut {0};
    std::size_t longestQueue = 0;
};

void enter(LockRun& run, long ticket)
{
    if (run.inside.fetch_add(1) != 0) {
        ++run.overlaps;
    }
    run.entries.push_back(ticket);
    run.longestQueue = std::max(run.longestQueue, run.slot.waitingCount());
    // Hold the slot a moment so that the queue grows behind it, and now and then longer than
    // the waiters' time slices so that their timed waits run out while they stand in line.
    if (run.entries.size() % 4 == 0) {
        std::this_thread::sleep_for(3ms);
    } else {
        for (int i = 0; i < 8; ++i) {
            std::this_thread::yield();
        }
    }
    run.inside.fetch_sub(1);
}

// One party: plain waits without limit, and ticketed arrivals that wait in short slices, some
// of which give up their place in the queue.
void party(LockRun& run, int id)
{
    QueueLock lock(run.slot);
    for (int round = 0; round < lockRounds; ++round) {
        const int mode = (round + id) % 4;
        if (mode == 0) {
            ASSERT_TRUE(lock.acquire(0));
            enter(run, untracked);
            ASSERT_TRUE(lock.release());
            continue;
        }
        long ticket = 0;
        bool got = false;
        {
            std::lock_guard guard(run.arrival);
            ticket = run.nextTicket++;
            got = lock.acquire(1);
        }
        if (!got) {
            ++run.timedOut;
        }
        if (!got && mode == 2 && round % 3 == 0) {
            // Leaves the queue (or, if the slot arrived meanwhile, passes it straight on).
            EXPECT_TRUE(lock.release());
            ++run.abandoned;
            continue;
        }
        while (!got) {
            got = lock.acquire(static_cast<unsigned>(1 + round % 3));
        }
        enter(run, ticket);
        ASSERT_TRUE(lock.release());
    }
}

TEST(THREADS_STRESS_SUITE, QueueLockKeepsMutualExclusionAndArrivalOrder)
{
    LockRun run;
    std::vector<std::thread> threads;
    for (int id = 0; id < lockThreads; ++id) {
        threads.emplace_back([&run, id] { party(run, id); });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    RecordProperty("timedOut", std::to_string(run.timedOut.load()));
    RecordProperty("abandoned", std::to_string(run.abandoned.load()));
    RecordProperty("longestQueue", std::to_string(run.longestQueue));
    // The run must have exercised what it checks: waits that ran out in the queue.
    EXPECT_GT(run.timedOut.load(), 0);
    EXPECT_EQ(run.overlaps.load(), 0);
    EXPECT_EQ(run.slot.owner(), nullptr);
    EXPECT_EQ(run.slot.waitingCount(), 0U);

    long previous = untracked;
    long ticketed = 0;
    for (std::size_t i = 0; i < run.entries.size(); ++i) {
        const long ticket = run.entries[i];
        if (ticket == untracked) {
            continue;
        }
        ++ticketed;
        ASSERT_GT(ticket, previous) << "entry " << i << " overtook an earlier arrival";
        previous = ticket;
    }
    EXPECT_EQ(run.entries.size(),
              static_cast<std::size_t>(lockThreads * lockRounds)
                  - static_cast<std::size_t>(run.abandoned.load()));
    EXPECT_EQ(ticketed + run.abandoned.load(), run.nextTicket);
}

// A body that only a stop request ends.
struct StoppableSleeper
{
    std::atomic<int> runs {0};
    std::atomic<int> endedBySleep {0};
    WorkerThread thread {[this](WorkerThread& self) {
        ++runs;
        if (self.sleepFor(1h)) {
            ++endedBySleep;
        }
    }};
};

// Restarts race a second thread that keeps asking for a stop and reading the state.
TEST(THREADS_STRESS_SUITE, WorkerThreadRestartsWhileAnotherThreadStopsIt)
{
    StoppableSleeper sleeper;
    WorkerThread& thread = sleeper.thread;
    std::atomic<bool> done {false};
    std::atomic<int> badStates {0};
    ASSERT_TRUE(thread.start());
    std::thread stopper([&] {
        while (!done) {
            thread.requestStop();
            const auto state = thread.state();
            if (state == ThreadState::NotStarted || state == ThreadState::StartFailed) {
                ++badStates;
            }
            std::this_thread::yield();
        }
    });
    for (int i = 1; i < restarts; ++i) {
        ASSERT_TRUE(thread.waitForEnd(10s)) << "restart " << i;
        EXPECT_EQ(thread.state(), ThreadState::Finished);
        thread.start();
    }
    EXPECT_TRUE(thread.waitForEnd(10s));
    done = true;
    stopper.join();
    EXPECT_EQ(sleeper.runs.load(), restarts);
    EXPECT_EQ(sleeper.endedBySleep.load(), 0);
    EXPECT_EQ(badStates.load(), 0);
}

} // namespace
