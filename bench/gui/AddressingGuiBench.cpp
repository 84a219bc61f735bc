// A keystroke in a recipient label against an address book of entryCount entries, from the key
// to the label's repaint request (Qt paints later): arg 1 completes a name, arg 2 types a prefix
// that no name starts with, arg 0 is the floor without completion. Runs on Qt's offscreen
// platform unless another one is set.
#include "BenchEnvironment.h"
#include "QtBenchMain.h"
#include "SimpleBookFiller.h"
#include "addressing/RecipientListForm.h"
#include "addressing/gui/RecipientsPanel.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

void labelKeystroke(benchmark::State& state)
{
    BenchEnvironment environment;
    SimpleAddressBook book;
    (void)book.setPath(environment.file("simpleAdb.mdb"));
    fillSimpleBook(book);
    RecipientListForm form(nullptr, &book, nullptr);
    form.setFlags({.disableCompletion = state.range(0) == 0});
    RecipientsPanel panel(form);
    panel.show();
    form.insertNew();
    panel.refresh();
    panel.list()->editItem(panel.list()->item(0));
    auto* edit = panel.list()->findChild<QLineEdit*>(QStringLiteral("labelEdit"));
    if (!edit) {
        state.SkipWithError("no label editor");
        return;
    }
    const bool matching = state.range(0) != 2;
    const QString typed = matching ? QStringLiteral("Perso") : QStringLiteral("Nobod");
    for (auto _ : state) {
        edit->setText(typed);
        // "Person" completes to the first "Person ..." of the book, its rest selected.
        QTest::keyClick(edit, matching ? Qt::Key_N : Qt::Key_Y);
        benchmark::DoNotOptimize(edit->selectionStart());
    }
    const char* labels[] = {"completion off", "completion on", "completion on, no name"};
    state.SetLabel(labels[state.range(0)]);
}
BENCHMARK(labelKeystroke)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return runQtBenchmarks(argc, argv);
}
