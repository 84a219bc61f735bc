#include "BenchEnvironment.h"
#include "SimpleBookFiller.h"
#include "addressing/AddressParser.h"
#include "directories/InternetAddressBook.h"
#include "directories/ProviderDatabase.h"
#include "directories/SimpleAddressBook.h"
#include "settings/SettingsKey.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>

namespace {

// A vCard folder of entryCount one-contact files, written as a sync tool would.
void fillInternetBook(const BenchEnvironment& environment, InternetAddressBook& book)
{
    SettingsKey adb(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Adb");
    (void)adb.setString("internetAdb", environment.file("contacts"));
    (void)book.open();
    for (int i = 0; i < entryCount; ++i) {
        std::ofstream out(environment.file("contacts/" + std::to_string(100000 + i) + ".vcf"));
        out << "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" << entryName(i) << "\r\nTEL;TYPE=PAGER:555/"
            << i + 1 << "\r\nEND:VCARD\r\n";
    }
    // A folder that has not changed for a while, as a contacts folder normally is.
    const timespec hourAgo {::time(nullptr) - 3600, 0};
    const timespec times[2] = {hourAgo, hourAgo};
    ::utimensat(AT_FDCWD, environment.file("contacts").c_str(), times, 0);
}

// Auto-completion in the simple book: a prefix that matches, and one that matches nothing.
void simpleFindLike(benchmark::State& state)
{
    BenchEnvironment environment;
    SimpleAddressBook book;
    (void)book.setPath(environment.file("simpleAdb.mdb"));
    fillSimpleBook(book);
    const std::string prefix = state.range(0) ? "Person 99" : "Nobody";
    std::string name;
    for (auto _ : state) {
        benchmark::DoNotOptimize(book.findLike(prefix, name));
    }
}
BENCHMARK(simpleFindLike)->Arg(1)->Arg(0);

// The send pipeline's look-up of a recipient name in the simple book.
void simpleGetPagerInfo(benchmark::State& state)
{
    BenchEnvironment environment;
    SimpleAddressBook book;
    (void)book.setPath(environment.file("simpleAdb.mdb"));
    fillSimpleBook(book);
    std::string info;
    for (auto _ : state) {
        benchmark::DoNotOptimize(book.getPagerInfo("Person 5000", info));
    }
}
BENCHMARK(simpleGetPagerInfo);

// Auto-completion in the vCard folder (the first 1024 entries are searched; the files are
// cached, so each call lists the folder and checks the files' times).
void internetFindLike(benchmark::State& state)
{
    BenchEnvironment environment;
    InternetAddressBook book;
    fillInternetBook(environment, book);
    const std::string prefix = state.range(0) ? "Person 99" : "Nobody";
    std::string name;
    for (auto _ : state) {
        benchmark::DoNotOptimize(book.findLike(prefix, name));
    }
}
BENCHMARK(internetFindLike)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Parsing with the translation of a provider name, as every send does per recipient.
void parseWithTranslation(benchmark::State& state)
{
    BenchEnvironment environment;
    SettingsKey paths(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths");
    (void)paths.setString("pspDbs", environment.file("pspDbs.mdb"));
    ProviderDatabase providers;
    (void)providers.open();
    (void)providers.add("Acme Paging", "555-0100");
    AddressParser parser(&providers);
    PagerAddress address;
    const std::string text = state.range(0) ? "Acme Paging/1234" : "555-0100/1234";
    for (auto _ : state) {
        benchmark::DoNotOptimize(parser.parseAddress(text, address, true));
    }
}
BENCHMARK(parseWithTranslation)->Arg(1)->Arg(0);

} // namespace
