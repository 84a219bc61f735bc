// The desktop program's start, from nothing to its compose window shown (with -m, no splash:
// the services opened and started, the window built and exposed), against the floor of Qt
// showing an empty window in the same run. Runs on Qt's offscreen platform unless another one
// is set; the data files exist already, as on every start but the first.
#include "BenchEnvironment.h"
#include "QtBenchMain.h"
#include "directories/HeadlessPrompt.h"
#include "directories/ProviderDatabase.h"
#include "directories/SimpleAddressBook.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "ui/ComposeWindow.h"
#include "ui/DeskApplication.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

// An empty window shown: what Qt itself takes.
void emptyWindowShown(benchmark::State& state)
{
    for (auto _ : state) {
        QWidget window;
        window.resize(520, 360);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            state.SkipWithError("the window was not exposed");
    }
}
BENCHMARK(emptyWindowShown)->Unit(benchmark::kMillisecond);

void composeWindowShown(benchmark::State& state)
{
    BenchEnvironment environment;
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    (void)paths.setString("home", environment.file(""));
    {
        // The data files a start finds (a first start would ask where they are).
        auto prompt = std::make_shared<HeadlessPrompt>();
        ProviderDatabase providers(prompt);
        SimpleAddressBook book(prompt);
        if (!providers.open() || !book.open()) {
            state.SkipWithError("cannot make the data files");
            return;
        }
    }
    StartupOptions options;
    options.multipleInstances = true;
    options.taskbarOnly = true;
    for (auto _ : state) {
        DeskApplication desk(options, QString::fromStdString(environment.file("run")));
        if (!desk.start() || !QTest::qWaitForWindowExposed(desk.window())) {
            state.SkipWithError("the compose window was not shown");
            break;
        }
        state.PauseTiming();
        desk.exit();
        state.ResumeTiming();
    }
}
BENCHMARK(composeWindowShown)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runQtBenchmarks(argc, argv);
}
