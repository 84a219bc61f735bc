#include "BenchEnvironment.h"
#include "settings/SettingsKey.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Bench";

// Fills the store with a realistic number of keys and values.
void populate(int keys)
{
    for (int k = 0; k < keys; ++k) {
        SettingsKey filler(RootKey::CurrentUser, std::string(key) + "\\K" + std::to_string(k));
        for (int v = 0; v < 5; ++v) {
            (void)filler.setString("value" + std::to_string(v), "some text of a setting");
        }
    }
}

// A typed read from an open key: the common case (every send reads its settings).
void settingsRead(benchmark::State& state)
{
    BenchEnvironment environment;
    populate(static_cast<int>(state.range(0)));
    SettingsKey opened(RootKey::CurrentUser, key);
    (void)opened.setNumber("logLevel", 4);
    for (auto _ : state) {
        benchmark::DoNotOptimize(opened.getNumber("logLevel", 0));
    }
}
BENCHMARK(settingsRead)->Arg(10)->Arg(100);

// Opening a key that exists, as each LogFile and each store operation does.
void settingsOpen(benchmark::State& state)
{
    BenchEnvironment environment;
    populate(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        SettingsKey opened(RootKey::CurrentUser, key);
        benchmark::DoNotOptimize(opened.isOpen());
    }
}
BENCHMARK(settingsOpen)->Arg(10)->Arg(100);

// A write: lock, re-read if changed, rewrite the file, fsync, rename.
void settingsWrite(benchmark::State& state)
{
    BenchEnvironment environment;
    populate(static_cast<int>(state.range(0)));
    SettingsKey opened(RootKey::CurrentUser, key);
    std::int32_t n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(opened.setNumber("counter", ++n));
    }
}
BENCHMARK(settingsWrite)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

} // namespace
