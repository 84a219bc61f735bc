// The "Saved Messages" dialog filled again from a store of 100 records (the list rebuilt and
// the selected message's fields shown), as every Delete, Change and Clear does; the goal is
// under 20 ms. The floor reads the same records from the file without any window. Runs on Qt's
// offscreen platform unless another one is set.
#include "BenchEnvironment.h"
#include "QtBenchMain.h"
#include "stores/SavedMessageStore.h"
#include "stores/gui/SavedMessagesDialog.h"

#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int recordCount = 100;

// A store of 100 scheduled messages with full-length fields.
void fillStore(SavedMessageStore& store)
{
    for (int i = 0; i < recordCount; ++i) {
        const std::string n = std::to_string(i);
        (void)store.add("Saved message number " + n, "W 042 00 00 09 05 001700000000",
                        "5551234/" + n + ";pager" + n + "!snpp.example.net",
                        "Message text " + n + std::string(80, 'x'));
    }
}

void savedMessagesRefresh(benchmark::State& state)
{
    BenchEnvironment environment;
    SavedMessageStore store(environment.file("canMsg.dat"));
    fillStore(store);
    SavedMessagesDialog dialog(store);
    dialog.show();
    const std::vector<std::string> selected = {"Saved message number 50"};
    for (auto _ : state) {
        dialog.fillList(selected);
        benchmark::DoNotOptimize(dialog.findChild<QTreeWidget*>()->topLevelItemCount());
    }
    state.SetLabel("list of 100 and the selection's fields");
}
BENCHMARK(savedMessagesRefresh)->Unit(benchmark::kMillisecond);

void savedMessagesReadFloor(benchmark::State& state)
{
    BenchEnvironment environment;
    SavedMessageStore store(environment.file("canMsg.dat"));
    fillStore(store);
    std::vector<SavedMessage> records;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.list(records));
        SavedMessage record;
        benchmark::DoNotOptimize(store.getAt(50, record));
    }
    state.SetLabel("floor: the same reads without a window");
}
BENCHMARK(savedMessagesReadFloor)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runQtBenchmarks(argc, argv);
}
