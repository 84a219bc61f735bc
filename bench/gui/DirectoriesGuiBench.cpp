// The "Address Book" dialog opened over a book of entryCount entries, from its construction
// (which fills the list) to its first frame: arg 0 the simple book, arg 1 a vCard folder of
// entryCount cards, arg 2 the floor (the same dialog over no book). Runs on Qt's offscreen
// platform unless another one is set.
#include "BenchEnvironment.h"
#include "QtBenchMain.h"
#include "SimpleBookFiller.h"
#include "directories/DirectorySettings.h"
#include "directories/InternetAddressBook.h"
#include "directories/gui/AddressBookDialog.h"
#include "settings/SettingsKey.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace {

// A folder of entryCount vCard files, one contact each with a pager number.
void fillCardFolder(const std::string& folder)
{
    std::filesystem::create_directories(folder);
    for (int i = 0; i < entryCount; ++i) {
        std::ofstream card(folder + "/person-" + std::to_string(100000 + i) + ".vcf",
                           std::ios::binary);
        card << "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" << entryName(i)
             << "\r\nTEL;TYPE=PAGER:555-0100/" << i + 1 << "\r\nEND:VCARD\r\n";
    }
}

void addressBookDialogFill(benchmark::State& state)
{
    BenchEnvironment environment;
    std::unique_ptr<AddressBook> book;
    if (state.range(0) == 0) {
        auto simple = std::make_unique<SimpleAddressBook>();
        (void)simple->setPath(environment.file("simpleAdb.mdb"));
        fillSimpleBook(*simple);
        book = std::move(simple);
    } else if (state.range(0) == 1) {
        const std::string folder = environment.file("contacts");
        fillCardFolder(folder);
        SettingsKey adb(RootKey::CurrentUser, DirectorySettings::Adb::key);
        (void)adb.write(DirectorySettings::Adb::internetAdb, folder);
        book = std::make_unique<InternetAddressBook>();
        if (!book->open()) {
            state.SkipWithError("the card folder did not open");
            return;
        }
    }
    int rows = 0;
    for (auto _ : state) {
        AddressBookDialog dialog(book.get(), AddressBookForm::Mode::Selecting);
        dialog.show();
        QApplication::processEvents();
        rows = dialog.list()->model()->rowCount();
        benchmark::DoNotOptimize(rows);
    }
    const char* labels[] = {"simple book", "vCard folder", "floor: no book"};
    state.SetLabel(std::string(labels[state.range(0)]) + ", " + std::to_string(rows) + " rows");
}
BENCHMARK(addressBookDialogFill)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runQtBenchmarks(argc, argv);
}
