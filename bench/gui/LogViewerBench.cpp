// The log viewer on logs of 10,000, 100,000 and 1,000,000 lines (about 80 bytes each): from a
// click on "&Refresh" to the first screen painted and to the whole list filled, with the peak
// memory against the file's size; and in the same run the floor of the shell reading the file
// newest first and keeping levels up to 5 (`tac FILE | awk -F, '$1<=5' > /dev/null`). Runs on
// Qt's offscreen platform unless another one is set.
#include "BenchEnvironment.h"
#include "QtBenchMain.h"
#include "log/gui/LogViewerDialog.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <string>

namespace {

// Writes a log of `lines` lines of about 80 bytes, levels 1 to 12 in turn, and points the
// settings at it.
std::string makeLog(const BenchEnvironment& environment, std::int64_t lines)
{
    const std::string path = environment.file("ndlog.dat");
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    (void)paths.setString(SharedSettings::Paths::logFile.name, path);
    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 84);
    const char* tags[]
        = {"Local", "SNPP", "Sch(Weekly report)", "SNPP(10.0.0.7)", "kestrel", "plover"};
    for (std::int64_t i = 0; i < lines; ++i) {
        text += std::to_string(1 + i % 12);
        text += ',';
        text += std::to_string(1765000000 + i);
        text += ',';
        text += tags[i % 6];
        text += ":Sent to 555-1234/";
        text += std::to_string(i % 10000);
        text += ": 1 sent, 0 failed; page accepted\r\n";
    }
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// The resident set's peak (VmHWM) or its size now (VmRSS), in bytes.
std::int64_t memory(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::atoll(line.c_str() + std::string_view(field).size()) * 1024;
        }
    }
    return 0;
}

// Lets the peak start again from the present size, with the memory freed so far given back.
void resetPeak()
{
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

void viewerRefresh(benchmark::State& state)
{
    BenchEnvironment environment;
    const std::string path = makeLog(environment, state.range(0));
    const double fileSize = static_cast<double>(std::ifstream(path, std::ios::ate).tellg());
    resetPeak();
    const std::int64_t before = memory("VmRSS:");
    double firstScreen = 0;
    double filledTime = 0;
    double openTime = 0;
    int rowsShown = 0;
    {
        QElapsedTimer opening;
        opening.start();
        LogViewerDialog dialog;
        QSignalSpy filled(&dialog, &LogViewerDialog::filled);
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog) || (filled.isEmpty() && !filled.wait(60000))) {
            state.SkipWithError("the first filling did not end");
            return;
        }
        openTime = static_cast<double>(opening.nsecsElapsed()) / 1e6;
        auto* refresh = dialog.findChild<QPushButton*>(QStringLiteral("refreshButton"));
        auto* table = dialog.findChild<QTableView*>(QStringLiteral("logTable"));
        // One refresh first: from then on each reading uses the memory of the one before.
        filled.clear();
        QTest::mouseClick(refresh, Qt::LeftButton);
        if (!filled.wait(60000)) {
            state.SkipWithError("the refresh did not end");
            return;
        }
        for (auto _ : state) {
            filled.clear();
            QElapsedTimer timer;
            timer.start();
            QTest::mouseClick(refresh, Qt::LeftButton);
            if (!filled.wait(60000)) {
                state.SkipWithError("the refresh did not end");
                break;
            }
            const double listed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            // The rows on screen painted at once, as the next paint event would.
            table->viewport()->repaint();
            const double painted = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            state.SetIterationTime(painted / 1e3);
            firstScreen += painted;
            filledTime += listed;
        }
        rowsShown = table->model()->rowCount();
    }
    const double peak = static_cast<double>(memory("VmHWM:"));
    const auto runs = static_cast<double>(state.iterations());
    state.counters["rows"] = rowsShown;
    state.counters["open_ms"] = openTime;
    state.counters["fill_ms"] = filledTime / runs;
    state.counters["first_screen_ms"] = firstScreen / runs;
    state.counters["file_MB"] = fileSize / 1e6;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["peak_over_file"] = (peak - static_cast<double>(before)) / fileSize;
}
BENCHMARK(viewerRefresh)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->MinTime(1.0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The floor: the shell's tools reading the same file newest first with the same level filter.
void shellFloor(benchmark::State& state)
{
    BenchEnvironment environment;
    const std::string path = makeLog(environment, state.range(0));
    const std::string command = "tac '" + path + "' | awk -F, '$1<=5' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("tac | awk failed");
            break;
        }
    }
}
BENCHMARK(shellFloor)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runQtBenchmarks(argc, argv);
}
