// "Find Now" in the "Directory Search" window over 1,000 people in a throw-away slapd on
// loopback, from the press to the last row painted, against the floor of the directory client
// alone searching the same server in the same run (arg 0). Runs on Qt's offscreen platform
// unless another one is set.
#include "BenchEnvironment.h"
#include "LdapTestServer.h"
#include "QtBenchMain.h"
#include "TestFailure.h"
#include "directories/LdapDirectory.h"
#include "directories/gui/DirectorySearchDialog.h"
#include "settings/SettingsKey.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>

// The fixtures report their failures through this; here they go to the error stream.
void testFailure(const std::string& what)
{
    std::fprintf(stderr, "%s\n", what.c_str());
}

namespace {

constexpr int peopleCount = 1000;

// The server, started once for both benchmarks; null when slapd cannot run here.
LdapTestServer* server()
{
    static std::unique_ptr<LdapTestServer> s_server = [] {
        auto started = std::make_unique<LdapTestServer>();
        if (!LdapTestServer::unavailableReason().empty()
            || !started->start(LdapTestServer::generatedPeople(peopleCount)))
            started.reset();
        return started;
    }();
    return s_server.get();
}

// The people base as the stored entry holds it (";" between the parts of the name).
std::string storedBase()
{
    std::string base(LdapTestServer::peopleBase);
    std::replace(base.begin(), base.end(), ',', ';');
    return base;
}

void directorySearch(benchmark::State& state)
{
    LdapTestServer* slapd = server();
    if (!slapd) {
        state.SkipWithError("slapd cannot run here");
        return;
    }
    BenchEnvironment environment;
    const std::string data = "127.0.0.1," + std::to_string(slapd->port()) + ",,," + storedBase();
    SettingsKey services(RootKey::CurrentUser, LdapService::key);
    if (!services.setString("Local", data)) {
        state.SkipWithError("cannot write the service");
        return;
    }
    const bool window = state.range(0) == 1;
    std::size_t rows = 0;
    if (!window) {
        for (auto _ : state) {
            LdapDirectory directory(LdapService::parse(data));
            std::vector<DirectoryRow> found;
            if (!directory.search("Person*", found))
                state.SkipWithError(directory.lastErrorText().c_str());
            rows = found.size();
        }
    } else {
        DirectorySearchDialog dialog;
        dialog.show();
        dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit"))
            ->setText(QStringLiteral("Person*"));
        auto* find = dialog.findChild<QPushButton*>(QStringLiteral("findButton"));
        auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("resultList"));
        for (auto _ : state) {
            find->click();
            while (dialog.searching())
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            const int count = list->topLevelItemCount();
            if (count > 0) {
                list->scrollToItem(list->topLevelItem(count - 1));
                list->viewport()->repaint();
            }
            rows = static_cast<std::size_t>(count);
        }
    }
    if (rows != peopleCount)
        state.SkipWithError("the search did not find every person");
    state.SetLabel(window ? "window, Find Now to the last row painted" : "client alone");
}
BENCHMARK(directorySearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runQtBenchmarks(argc, argv);
}
