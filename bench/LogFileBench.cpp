#include "BenchEnvironment.h"
#include "log/LogFile.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <benchmark/benchmark.h>

namespace {

void pointLogAt(const BenchEnvironment& environment)
{
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    (void)paths.setString("logFile", environment.file("ndlog.dat"));
    SettingsKey log(RootKey::CurrentUser, SharedSettings::Log::key);
    (void)log.setNumber("logLevel", 12);
}

// The program's way: a LogFile per operation, the file opened and closed for each line.
void logWriteProgram(benchmark::State& state)
{
    BenchEnvironment environment;
    pointLogAt(environment);
    LogFile log;
    for (auto _ : state) {
        benchmark::DoNotOptimize(log.write(4, "Local", "Sending page to %s (%d)", "5551234", 42));
    }
}
BENCHMARK(logWriteProgram)->Unit(benchmark::kMicrosecond);

// The plug-ins' way during a send: the file held open, dump lines of protocol bytes.
void logWriteDumpOpen(benchmark::State& state)
{
    BenchEnvironment environment;
    pointLogAt(environment);
    LogFile log(LogFile::Mode::PlugIn);
    log.loadSettings();
    (void)log.openForAppend();
    const std::string block = "\x02"
                              "1234567\r"
                              "Server is down\r\x03"
                              "1A2\r";
    for (auto _ : state) {
        benchmark::DoNotOptimize(log.writeDump(11, "kestrel", "Write", block.data(), block.size()));
    }
}
BENCHMARK(logWriteDumpOpen)->Unit(benchmark::kMicrosecond);

// Reading the log back, as the viewer and "norvane-cli log" do, per 10000 lines.
void logReadAll(benchmark::State& state)
{
    BenchEnvironment environment;
    pointLogAt(environment);
    {
        LogFile log;
        (void)log.openForAppend();
        for (int i = 0; i < 10000; ++i) {
            (void)log.write(4, "SNPP", "Connection accepted from host(10.0.0.%d)", i % 250);
        }
    }
    LogFile reader;
    for (auto _ : state) {
        (void)reader.openForReading();
        LogEntry entry;
        int count = 0;
        while (reader.readEntry(entry)) {
            ++count;
        }
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(logReadAll)->Unit(benchmark::kMillisecond);

} // namespace
