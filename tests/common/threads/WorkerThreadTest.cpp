#include "threads/WorkerThread.h"

#include "Eventually.h"
#include "ManualClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <functional>
#include <latch>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

TEST(WorkerThreadTest, StatesGoFromNotStartedThroughRunningToFinished)
{
    std::latch release(1);
    std::atomic<ThreadState> seenInBody {ThreadState::NotStarted};
    WorkerThread thread([&](WorkerThread& self) {
        seenInBody = self.state();
        release.wait();
    });
    EXPECT_EQ(thread.state(), ThreadState::NotStarted);
    EXPECT_TRUE(thread.start());
    const ThreadState afterStart = thread.state();
    EXPECT_TRUE(afterStart == ThreadState::Started || afterStart == ThreadState::Running)
        << static_cast<int>(afterStart);
    EXPECT_TRUE(eventually([&] { return thread.state() == ThreadState::Running; }));
    EXPECT_FALSE(thread.waitForEnd(10ms));
    release.count_down();
    EXPECT_TRUE(thread.waitForEnd(10s));
    EXPECT_EQ(seenInBody.load(), ThreadState::Running);
    EXPECT_EQ(thread.state(), ThreadState::Finished);
    EXPECT_EQ(thread.lastErrorText(), "");
}

// Other parts store and show the state as its number.
static_assert(static_cast<int>(ThreadState::NotStarted) == 0);
static_assert(static_cast<int>(ThreadState::Started) == 1);
static_assert(static_cast<int>(ThreadState::StartFailed) == 2);
static_assert(static_cast<int>(ThreadState::Running) == 3);
static_assert(static_cast<int>(ThreadState::Finished) == 5);

// A body that returns at once races start(): the Started state must never land after the
// thread's own Finished, and every restart must run the body again.
TEST(WorkerThreadTest, FinishedThreadRestartsAndEndsFinishedEveryTime)
{
    std::atomic<int> runs {0};
    WorkerThread thread([&](WorkerThread&) { ++runs; });
    constexpr int restarts = 200;
    for (int i = 0; i < restarts; ++i) {
        EXPECT_TRUE(thread.start());
        ASSERT_TRUE(thread.waitForEnd(10s));
        ASSERT_EQ(thread.state(), ThreadState::Finished) << "after start " << i;
    }
    EXPECT_EQ(runs.load(), restarts);
}

TEST(WorkerThreadTest, StartWhileTheBodyRunsStartsNoSecondBody)
{
    std::latch release(1);
    std::atomic<int> runs {0};
    WorkerThread thread([&](WorkerThread&) {
        ++runs;
        release.wait();
    });
    EXPECT_TRUE(thread.start());
    EXPECT_TRUE(thread.start());
    ASSERT_TRUE(eventually([&] { return thread.state() == ThreadState::Running; }));
    EXPECT_TRUE(thread.start());
    release.count_down();
    ASSERT_TRUE(thread.waitForEnd(10s));
    EXPECT_EQ(runs.load(), 1);
}

TEST(WorkerThreadTest, RestartClearsTheOldStopRequest)
{
    std::vector<bool> stoppedAtStart;
    std::mutex mutex;
    WorkerThread thread([&](WorkerThread& self) {
        std::lock_guard guard(mutex);
        stoppedAtStart.push_back(self.stopRequested());
    });
    thread.start();
    thread.join();
    thread.requestStop();
    EXPECT_TRUE(thread.stopRequested());
    thread.start();
    thread.join();
    EXPECT_EQ(stoppedAtStart, (std::vector<bool> {false, false}));
}

TEST(WorkerThreadTest, JoinAndWaitWithoutAThreadReturnAtOnce)
{
    WorkerThread thread([](WorkerThread&) {});
    thread.join();
    EXPECT_TRUE(thread.waitForEnd(0ms));
    EXPECT_EQ(thread.state(), ThreadState::NotStarted);
}

TEST(WorkerThreadTest, ThreadCannotWaitForItself)
{
    std::atomic<bool> waitedForItself {true};
    WorkerThread thread([&](WorkerThread& self) {
        self.join();
        waitedForItself = self.waitForEnd(1h);
    });
    thread.start();
    ASSERT_TRUE(thread.waitForEnd(10s));
    EXPECT_FALSE(waitedForItself.load());
}

// The stop must cut the sleep short on either clock: on the manual clock time never moves,
// on the real one the sleep would last an hour.
TEST(WorkerThreadTest, StopRequestWakesASleepingThreadAtOnce)
{
    for (const bool manual : {true, false}) {
        SCOPED_TRACE(manual ? "manual clock" : "system clock");
        ManualClock manualClock;
        Clock& clock = manual ? static_cast<Clock&>(manualClock) : Clock::system();
        std::atomic<int> sleepResult {-1};
        WorkerThread thread([&](WorkerThread& self) { sleepResult = self.sleepFor(1h); }, clock);
        thread.start();
        if (manual) {
            ASSERT_TRUE(manualClock.waitForSleepers(1));
        } else {
            ASSERT_TRUE(eventually([&] { return thread.state() == ThreadState::Running; }));
        }
        thread.requestStop();
        EXPECT_TRUE(thread.stopRequested());
        ASSERT_TRUE(thread.waitForEnd(10s));
        EXPECT_EQ(sleepResult.load(), 0);
        EXPECT_EQ(manualClock.sleeperCount(), 0U);
    }
}

TEST(WorkerThreadTest, ManualClockStepsASleepingLoopThroughManyWakeUps)
{
    ManualClock clock;
    std::mutex mutex;
    std::vector<Clock::TimePoint> wakeUps;
    WorkerThread thread(
        [&](WorkerThread& self) {
            while (self.sleepFor(5000ms)) {
                std::lock_guard guard(mutex);
                wakeUps.push_back(self.clock().now());
            }
        },
        clock);
    thread.start();

    // Short of the period nothing happens.
    ASSERT_TRUE(clock.waitForSleepers(1));
    clock.advance(4999ms);
    EXPECT_EQ(clock.sleeperCount(), 1U);
    clock.advance(1ms);

    constexpr int hours = 2;
    ASSERT_TRUE(clock.advanceInSteps(std::chrono::hours(hours), 5000ms, 1));
    ASSERT_TRUE(clock.waitForSleepers(1));
    thread.requestStop();
    ASSERT_TRUE(thread.waitForEnd(10s));

    std::lock_guard guard(mutex);
    ASSERT_EQ(wakeUps.size(), static_cast<std::size_t>(hours * 720 + 1));
    for (std::size_t i = 0; i < wakeUps.size(); ++i) {
        EXPECT_EQ(wakeUps[i], ManualClock::defaultStart() + 5000ms * (i + 1)) << "wake-up " << i;
    }
}

TEST(WorkerThreadTest, ExceptionFromTheBodyEndsItFinishedWithAnError)
{
    WorkerThread thread([](WorkerThread&) { throw std::runtime_error("port vanished"); });
    thread.start();
    ASSERT_TRUE(thread.waitForEnd(10s));
    EXPECT_EQ(thread.state(), ThreadState::Finished);
    EXPECT_NE(thread.lastErrorText().find("port vanished"), std::string::npos)
        << thread.lastErrorText();
    thread.start();
    ASSERT_TRUE(thread.waitForEnd(10s));
    EXPECT_EQ(thread.state(), ThreadState::Finished);
}

// An owner whose body waits on the owner's own members for something other than a sleep, and
// uses them once woken. No destructor of its own: the thread, its last member, must stop the
// body, wake it and wait for it before those members go (ASan and TSan see a late use).
class WaitingOwner
{
public:
    explicit WaitingOwner(std::atomic<int>& ends)
        : m_ends(ends)
    { }
    WorkerThread& thread() { return m_thread; }
    std::atomic<bool> waiting {false};

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        waiting = true;
        m_woken.wait(lock, [this] { return m_wakeRequested; });
        m_trail.assign(4096, 'x');
        ++m_ends;
    }
    void wake()
    {
        std::lock_guard guard(m_mutex);
        m_wakeRequested = true;
        m_woken.notify_all();
    }

    std::atomic<int>& m_ends;
    std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_wakeRequested = false;
    std::string m_trail;
    WorkerThread m_thread {[this](WorkerThread&) { run(); }, Clock::system(), [this] { wake(); }};
};

TEST(WorkerThreadTest, DestroyingTheOwnerWakesAndJoinsItsThread)
{
    for (const char* phase : {"waiting", "finished", "never started"}) {
        SCOPED_TRACE(phase);
        std::atomic<int> ends {0};
        auto owner = std::make_unique<WaitingOwner>(ends);
        if (phase != std::string("never started")) {
            owner->thread().start();
            ASSERT_TRUE(eventually([&] { return owner->waiting.load(); }));
        }
        if (phase == std::string("finished")) {
            owner->thread().requestStop();
            ASSERT_TRUE(owner->thread().waitForEnd(10s));
        }
        owner.reset();
        EXPECT_EQ(ends.load(), phase == std::string("never started") ? 0 : 1);
    }
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

// The bytes of address space the process uses now.
rlim_t addressSpaceInUse()
{
    std::ifstream statm("/proc/self/statm");
    unsigned long pages = 0;
    statm >> pages;
    return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

// Runs in a child process: with no address space left for a thread stack the system refuses
// the thread; start() must report that in the state instead of throwing, and work again once
// the limit is lifted.
[[noreturn]] void startWithoutAddressSpace()
{
    WorkerThread thread([](WorkerThread&) {});
    rlimit original {};
    getrlimit(RLIMIT_AS, &original);
    rlimit tight = original;
    tight.rlim_cur = addressSpaceInUse() + 1024 * 1024;
    if (setrlimit(RLIMIT_AS, &tight) != 0) {
        std::fprintf(stderr, "cannot limit the address space\n");
        _exit(3);
    }
    const bool started = thread.start();
    const ThreadState refused = thread.state();
    setrlimit(RLIMIT_AS, &original);
    if (!started || refused != ThreadState::StartFailed || thread.lastErrorText().empty()) {
        std::fprintf(stderr, "start under the limit: result %d, state %d, error '%s'\n", started,
                     static_cast<int>(refused), thread.lastErrorText().c_str());
        _exit(1);
    }
    const std::string refusal = thread.lastErrorText();
    thread.start();
    if (!thread.waitForEnd(10s) || thread.state() != ThreadState::Finished) {
        std::fprintf(stderr, "start after the limit: state %d\n", static_cast<int>(thread.state()));
        _exit(2);
    }
    std::fprintf(stderr, "refused: %s\n", refusal.c_str());
    _exit(0);
}

TEST(WorkerThreadDeathTest, RefusedThreadLeavesStartFailedAndCanBeRetried)
{
    if (sanitized) {
        GTEST_SKIP() << "the sanitizers' own allocations fail under an address-space limit";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(startWithoutAddressSpace(), ::testing::ExitedWithCode(0),
                "refused: cannot start a worker thread");
}

} // namespace
