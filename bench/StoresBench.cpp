#include "BenchEnvironment.h"
#include "stores/MessageHistory.h"
#include "stores/SavedMessageStore.h"
#include "stores/Schedule.h"
#include "stores/ScheduledSender.h"
#include "stores/Scheduler.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>

namespace {

// A sender that sends nothing, so that a pass measures the store and the due test alone.
class NullSender : public ScheduledSender
{
public:
    bool sendScheduled(std::string_view, std::string_view, std::string_view) override
    {
        ++m_sends;
        return true;
    }
    int m_sends = 0;
};

std::string weeklyAt(int hour, int minute)
{
    Schedule schedule;
    schedule.type = ScheduleType::Weekly;
    schedule.weekdays = 0x7F;
    schedule.hour = hour;
    schedule.minute = minute;
    return schedule.format();
}

// Writes `count` scheduled saved messages straight to the file.
void fillStore(const std::string& path, int count, int dueCount)
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        const bool due = i < dueCount;
        // Not-due messages are set to an hour that is not now.
        bytes += "Saved message " + std::to_string(i) + '\x05'
            + weeklyAt(due ? local.tm_hour : (local.tm_hour + 1) % 24, local.tm_min) + '\x05'
            + "555-1234/" + std::to_string(i) + ";pager!42" + '\x05' + "Server " + std::to_string(i)
            + " needs attention\r\n";
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// One scheduler pass over 100 saved messages of which `range(0)` are due: each due one is
// marked (a guarded rewrite with fsync) before its (null) send.
void schedulerPass(benchmark::State& state)
{
    BenchEnvironment environment;
    const std::string path = environment.file("canMsg.dat");
    const int due = static_cast<int>(state.range(0));
    SavedMessageStore store(path);
    NullSender sender;
    Scheduler scheduler(store, sender);
    for (auto _ : state) {
        state.PauseTiming();
        fillStore(path, 100, due);
        state.ResumeTiming();
        benchmark::DoNotOptimize(scheduler.runPass());
    }
    state.counters["sent"] = benchmark::Counter(sender.m_sends, benchmark::Counter::kAvgIterations);
}
BENCHMARK(schedulerPass)->Arg(0)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

// getAt of the last of 100 records: the cost of each per-position read.
void savedGetAt(benchmark::State& state)
{
    BenchEnvironment environment;
    const std::string path = environment.file("canMsg.dat");
    fillStore(path, 100, 0);
    SavedMessageStore store(path);
    SavedMessage record;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.getAt(99, record));
    }
}
BENCHMARK(savedGetAt)->Unit(benchmark::kMicrosecond);

// A guarded replaceAt in a store of 100 records: lock, read, check, rewrite, fsync, rename.
void savedReplaceAt(benchmark::State& state)
{
    BenchEnvironment environment;
    const std::string path = environment.file("canMsg.dat");
    fillStore(path, 100, 0);
    SavedMessageStore store(path);
    SavedMessage record;
    (void)store.getAt(50, record);
    Schedule schedule = Schedule::fromText(record.schedule);
    for (auto _ : state) {
        ++schedule.lastSent;
        if (!store.replaceAt(50, RecordGuard::named(record.name), schedule.format(), std::nullopt,
                             std::nullopt)) {
            state.SkipWithError(SavedMessageStore::lastErrorText().c_str());
            break;
        }
    }
}
BENCHMARK(savedReplaceAt)->Unit(benchmark::kMicrosecond);

// recordSent with the configured bound (maxSavedCount, default 20): the history is full
// after the first 21 iterations, so most measure a full rewrite of 21 lines.
void historyAdd(benchmark::State& state)
{
    BenchEnvironment environment;
    MessageHistory history(environment.file("msg.dat"));
    int i = 0;
    for (auto _ : state) {
        if (!history.recordSent("555-1234/11;pager!42", "page number " + std::to_string(i++))) {
            state.SkipWithError(MessageHistory::lastErrorText().c_str());
            break;
        }
    }
}
BENCHMARK(historyAdd)->Unit(benchmark::kMicrosecond);

// Parsing, formatting and the due test of one schedule text.
void scheduleParseAndDue(benchmark::State& state)
{
    const std::int64_t now = std::time(nullptr);
    for (auto _ : state) {
        const Schedule schedule = Schedule::fromText("W 042 00 00 09 30 001700000000");
        benchmark::DoNotOptimize(schedule.isDue(now));
        benchmark::DoNotOptimize(schedule.format());
    }
}
BENCHMARK(scheduleParseAndDue);

} // namespace
