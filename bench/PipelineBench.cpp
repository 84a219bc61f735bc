#include "BenchEnvironment.h"
#include "FakeDriverIds.h"
#include "FakeDriverScript.h"
#include "addressing/AddressParser.h"
#include "directories/AddressBook.h"
#include "directories/AddressBookSelection.h"
#include "directories/HeadlessPrompt.h"
#include "directories/ProviderDatabase.h"
#include "log/LogFile.h"
#include "sending/GroupSender.h"
#include "sending/RecipientList.h"
#include "sending/RecipientResolver.h"
#include "sending/SendResults.h"
#include "sending/Sender.h"
#include "settings/SettingsKey.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int recipientCount = 1000;

// A mixed list: modem numbers with PINs (over 50 numbers), SNPP hosts, and every tenth entry
// an address-book name.
std::vector<std::string> recipientTexts()
{
    std::vector<std::string> texts;
    for (int i = 0; i < recipientCount; ++i) {
        if (i % 10 == 9) {
            texts.push_back("Person " + std::to_string(i));
        } else if (i % 3 == 0) {
            texts.push_back("pager" + std::to_string(i % 7) + ".example!" + std::to_string(i + 1));
        } else {
            texts.push_back("555-" + std::to_string(1000 + i % 50) + "/" + std::to_string(i + 1));
        }
    }
    return texts;
}

// The data files and the log of one benchmark in its own folder; the log at its default level.
struct PipelineWorld
{
    PipelineWorld()
    {
        SettingsKey paths(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths");
        (void)paths.setString("pspDbs", environment.file("pspDbs.mdb"));
        (void)paths.setString("simpleAdb", environment.file("simpleAdb.mdb"));
        (void)paths.setString("logFile", environment.file("ndlog.dat"));
        (void)providers.open();
        (void)books.select(0);
        (void)books.current()->open();
        for (int i = 9; i < recipientCount; i += 10) {
            (void)books.current()->add("Person " + std::to_string(i),
                                       "555-2000/" + std::to_string(i + 1));
        }
    }

    BenchEnvironment environment;
    std::shared_ptr<HeadlessPrompt> prompt = std::make_shared<HeadlessPrompt>();
    ProviderDatabase providers {prompt};
    AddressBookSelection books {prompt};
};

// Splitting a list of 1000 entries at ";".
void splitRecipientList(benchmark::State& state)
{
    std::string list;
    for (const std::string& text : recipientTexts()) {
        list += text + ';';
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(RecipientList::split(list));
    }
    state.SetItemsProcessed(state.iterations() * recipientCount);
}
BENCHMARK(splitRecipientList);

// Resolving 1000 entries: parsing the addresses and looking the names up in the simple book.
void resolveRecipients(benchmark::State& state)
{
    PipelineWorld world;
    std::vector<RecipientEntry> entries;
    for (const std::string& text : recipientTexts()) {
        entries.push_back({text, 0});
    }
    LogFile log;
    for (auto _ : state) {
        SendResults results;
        AddressParser parser(&world.providers);
        RecipientResolver resolver(world.books.current(), parser, results, log, "Local");
        benchmark::DoNotOptimize(resolver.resolveRecipients(entries));
    }
    state.SetItemsProcessed(state.iterations() * recipientCount);
}
BENCHMARK(resolveRecipients)->Unit(benchmark::kMillisecond);

// Ordering 1000 parsed addresses into their (type, number) groups.
void groupRecords(benchmark::State& state)
{
    std::vector<PagerAddress> parsed;
    AddressParser parser;
    for (const std::string& text : recipientTexts()) {
        PagerAddress address;
        if (parser.parseAddress(text, address, true)) {
            parsed.push_back(address);
        }
    }
    for (auto _ : state) {
        std::vector<PagerAddress> records = parsed;
        GroupSender::orderRecords(records);
        benchmark::DoNotOptimize(records.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(parsed.size()));
}
BENCHMARK(groupRecords);

// One whole send of 20 pages (two modem numbers, one SNPP host) through the fake driver
// plug-in: the send lock, resolution, driver creation, transmissions, rows, log lines.
void sendTwentyPages(benchmark::State& state)
{
    PipelineWorld world;
    FakeDriverScript script("");
    (void)FakeDriverScript::registerAs(FakeDriverIds::kestrelClass);
    (void)FakeDriverScript::registerAs(FakeDriverIds::ploverClass);
    Sender sender(&world.providers, &world.books, nullptr);
    std::string list;
    for (int i = 1; i <= 20; ++i) {
        list += (i % 4 == 0  ? "pager.example!"
                     : i % 2 ? "555-1000/"
                             : "555-1001/")
            + std::to_string(i) + ';';
    }
    std::int32_t sent = 0;
    for (auto _ : state) {
        (void)sender.sendToRecipients(list, "Disk full on db1", true, true, "Local", &sent);
    }
    state.counters["sent"] = sent;
    state.SetItemsProcessed(state.iterations() * 20);
}
BENCHMARK(sendTwentyPages)->Unit(benchmark::kMillisecond);

} // namespace
