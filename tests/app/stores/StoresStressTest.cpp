// The scheduler rewriting lastSent while another thread adds, changes and removes saved
// messages: nothing may be lost, corrupted or sent twice. Built twice: a short run for the
// default suite and a long one labelled "stress" (NORVANE_LONG_STRESS).
#include "LocalZone.h"
#include "ManualClock.h"
#include "PrivateLog.h"
#include "RecordingSender.h"
#include "stores/SavedMessageStore.h"
#include "stores/Schedule.h"
#include "stores/Scheduler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <random>
#include <set>
#include <thread>

using namespace std::chrono_literals;

#ifdef NORVANE_LONG_STRESS
#define STORES_STRESS_SUITE StoresLongStressTest
constexpr int churnOperations = 2000;
constexpr int minimumDays = 20;
#else
#define STORES_STRESS_SUITE StoresStressTest
constexpr int churnOperations = 150;
constexpr int minimumDays = 3;
#endif

namespace {

constexpr int fixedCount = 8;
constexpr int seedCount = 12;

std::string everyDayAtNine()
{
    Schedule schedule;
    schedule.type = ScheduleType::Weekly;
    schedule.weekdays = 0x7F;
    schedule.hour = 9;
    return schedule.format();
}

std::string fixedName(int i)
{
    return "fixed-" + std::to_string(i);
}

// Adds, changes and removes "churn-N" records until it has done `operations` of them, and
// remembers what the store must hold afterwards.
class Churn
{
public:
    Churn(const std::string& path, int operations)
        : m_store(path)
        , m_operations(operations)
    { }

    void seed(int count)
    {
        for (int i = 0; i < count; ++i) {
            add();
        }
    }
    void run()
    {
        std::mt19937 random(42);
        for (int done = 0; done < m_operations; ++done) {
            const int choice = static_cast<int>(random() % 3);
            if (choice == 0 || m_live.empty()) {
                add();
            } else {
                auto it = m_live.begin();
                std::advance(it, static_cast<long>(random() % m_live.size()));
                if (choice == 1) {
                    change(it->first);
                } else {
                    remove(it->first);
                }
            }
        }
    }
    const std::map<std::string, std::string>& live() const { return m_live; }

private:
    void add()
    {
        const std::string name = "churn-" + std::to_string(m_next++);
        // Half of them are due every day as well, so the scheduler writes all over the file.
        const std::string schedule = m_next % 2 == 0 ? everyDayAtNine() : "";
        ASSERT_TRUE(m_store.add(name, schedule, "r-" + name, "first"))
            << SavedMessageStore::lastErrorText();
        m_live[name] = "first";
    }
    // Finds the record and changes it by position, guarded by its name; a position that moved
    // under the scheduler's write is looked up again.
    template<typename Change>
    void byName(const std::string& name, Change&& change)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const int position = m_store.find(name);
            ASSERT_GE(position, 0) << name << " vanished";
            if (change(position)) {
                return;
            }
            ASSERT_EQ(SavedMessageStore::lastError(), StoreErrorCode::RecordChanged)
                << SavedMessageStore::lastErrorText();
        }
        FAIL() << "could not change " << name;
    }
    void change(const std::string& name)
    {
        const std::string message = "changed " + std::to_string(++m_changes);
        byName(name, [&](int position) {
            return m_store.replaceAt(position, RecordGuard::named(name), std::nullopt, std::nullopt,
                                     message);
        });
        m_live[name] = message;
    }
    void remove(const std::string& name)
    {
        byName(name,
               [&](int position) { return m_store.removeAt(position, RecordGuard::named(name)); });
        m_live.erase(name);
    }

    SavedMessageStore m_store;
    int m_operations;
    int m_next = 0;
    int m_changes = 0;
    std::map<std::string, std::string> m_live;
};

TEST(STORES_STRESS_SUITE, SchedulerMarksWhileAnotherThreadAddsAndRemoves)
{
    // The scheduler logs each mark refused because the record moved at level 6.
    const PrivateLog log(6);
    const ScopedRegistry& registry = log.registry();
    const std::string path = registry.dir().file("canMsg.dat");

    // Churn records in front of the fixed ones, so that removals move the fixed ones.
    Churn churn(path, churnOperations);
    churn.seed(seedCount);
    SavedMessageStore store(path);
    for (int i = 0; i < fixedCount; ++i) {
        ASSERT_TRUE(store.add(fixedName(i), everyDayAtNine(), "r-" + fixedName(i), "fixed text"));
    }

    RecordingSender sender;
    std::mutex daysMutex;
    int today = 0;
    // (name, day) of every send: a mark lost to a concurrent rewrite would send twice a day.
    std::multiset<std::pair<std::string, int>> sendsByDay;
    sender.setHook([&](const RecordingSender::Send& send) {
        std::lock_guard guard(daysMutex);
        sendsByDay.insert({send.origin.substr(4, send.origin.size() - 5), today});
    });

    ManualClock clock(LocalZone::at(2024, 1, 1, 8, 0));
    {
        Scheduler scheduler(store, sender, clock);
        scheduler.start();
        ASSERT_TRUE(clock.waitForSleepers(1));

        std::atomic<bool> churnDone {false};
        std::thread churner([&] {
            churn.run();
            churnDone = true;
        });
        // One scheduled minute a day, twelve passes in it, until the churn is over. Days are
        // counted in local time (mktime normalises the day), across the change to summer time.
        int day = 0;
        for (; day < minimumDays || !churnDone; ++day) {
            {
                std::lock_guard guard(daysMutex);
                today = day;
            }
            clock.set(LocalZone::at(2024, 1, 1 + day, 8, 59, 55));
            ASSERT_TRUE(clock.waitForSleepers(1));
            ASSERT_TRUE(clock.advanceInSteps(70s, 5s, 1));
            ASSERT_TRUE(clock.waitForSleepers(1));
        }
        churner.join();

        // With the churn over, one quiet day: every scheduled message goes exactly once.
        const std::size_t before = sender.sends().size();
        {
            std::lock_guard guard(daysMutex);
            today = day;
        }
        clock.set(LocalZone::at(2024, 1, 1 + day, 8, 59, 55));
        ASSERT_TRUE(clock.waitForSleepers(1));
        ASSERT_TRUE(clock.advanceInSteps(70s, 5s, 1));
        ASSERT_TRUE(clock.waitForSleepers(1));
        // Only the first 100 records are looked at; every scheduled one among them is due.
        std::vector<SavedMessage> records;
        ASSERT_TRUE(store.list(records));
        std::size_t scheduled = 0;
        for (const SavedMessage& record : records) {
            scheduled += record.schedule != "-";
        }
        EXPECT_GE(scheduled, static_cast<std::size_t>(fixedCount));
        EXPECT_EQ(sender.sends().size() - before, scheduled);
        std::printf("%d days, %zu sends, %zu records at the end\n", day + 1, sender.sends().size(),
                    records.size());
    }

    const std::string logText = registry.dir().read("ndlog.dat");
    std::size_t refused = 0;
    for (std::size_t at = 0;
         (at = logText.find("changed before it was marked", at)) != std::string::npos; ++at) {
        ++refused;
    }
    std::printf("%zu marks refused because the record had moved\n", refused);
    EXPECT_EQ(logText.find("Cannot mark"), std::string::npos) << "a mark failed for another reason";

    for (const auto& entry : sendsByDay) {
        EXPECT_EQ(sendsByDay.count(entry), 1u)
            << entry.first << " sent twice on day " << entry.second;
    }
    // Nothing lost, nothing corrupted: exactly the fixed records and the live churn records,
    // each with its own recipients and its last message.
    std::vector<SavedMessage> records;
    ASSERT_TRUE(store.list(records, 100000));
    std::map<std::string, SavedMessage> byName;
    for (const SavedMessage& record : records) {
        EXPECT_TRUE(byName.emplace(record.name, record).second) << record.name << " twice";
        EXPECT_EQ(record.recipients, "r-" + record.name);
        EXPECT_TRUE(record.schedule == "-"
                    || Schedule::fromText(record.schedule).type == ScheduleType::Weekly)
            << record.schedule;
    }
    EXPECT_EQ(records.size(), fixedCount + churn.live().size());
    for (int i = 0; i < fixedCount; ++i) {
        ASSERT_TRUE(byName.contains(fixedName(i)));
        EXPECT_EQ(byName[fixedName(i)].message, "fixed text");
        EXPECT_NE(Schedule::fromText(byName[fixedName(i)].schedule).lastSent, 0);
    }
    for (const auto& [name, message] : churn.live()) {
        ASSERT_TRUE(byName.contains(name)) << name << " lost";
        EXPECT_EQ(byName[name].message, message) << name;
    }
}

} // namespace
