#pragma once

#include "FakeDriverIds.h"
#include "FakeDriverRecord.h"
#include "FakeDriverScript.h"
#include "PrivateLog.h"
#include "directories/AddressBook.h"
#include "directories/AddressBookSelection.h"
#include "directories/HeadlessPrompt.h"
#include "directories/ProviderDatabase.h"
#include "log/LogFile.h"
#include "sending/SendPresenter.h"
#include "sending/SendResults.h"
#include "sending/Sender.h"
#include "sending/Transmission.h"
#include "settings/SettingsKey.h"
#include "stores/MessageHistory.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// A presenter that remembers what the send showed; showResults() may be held until released,
// as a modal results window holds its send.
class RecordingPresenter final : public SendPresenter
{
public:
    struct Message
    {
        int id;
        std::string helpKey;
        std::string origin;
    };

    void showMessage(int messageId, std::string_view helpKey, std::string_view origin) override
    {
        const std::lock_guard lock(m_mutex);
        messages.push_back({messageId, std::string(helpKey), std::string(origin)});
    }
    void showResults(const SendResults& results) override
    {
        std::unique_lock lock(m_mutex);
        shownRows.push_back(results.rows());
        m_showing = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_hold; });
        m_showing = false;
    }
    void serveEvents() override
    {
        const std::lock_guard lock(m_mutex);
        ++served;
    }
    void transmissionStarted(const Transmission& transmission) override
    {
        const std::lock_guard lock(m_mutex);
        started.push_back(transmission);
    }
    void transmissionEnded(const Transmission&, std::int32_t returnCode) override
    {
        const std::lock_guard lock(m_mutex);
        endCodes.push_back(returnCode);
    }

    // Makes showResults() wait until release().
    void hold()
    {
        const std::lock_guard lock(m_mutex);
        m_hold = true;
    }
    void release()
    {
        const std::lock_guard lock(m_mutex);
        m_hold = false;
        m_changed.notify_all();
    }
    // Waits until a showResults() call is in progress.
    bool waitUntilShowing()
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_showing; });
    }
    int servedCount()
    {
        const std::lock_guard lock(m_mutex);
        return served;
    }

    std::vector<Message> messages;
    std::vector<std::vector<ResultRow>> shownRows;
    std::vector<Transmission> started;
    std::vector<std::int32_t> endCodes;
    int served = 0;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_hold = false;
    bool m_showing = false;
};

// What one send gave back.
struct SendOutcome
{
    bool ran = false;
    std::int32_t sent = -1;
    std::int32_t failed = -1;
    std::int32_t total = -1;
    SendResults results;
};

// A private settings store with the data files, the log and the fake driver's record in its
// folder; the fake plug-in registered under both drivers' classes; the provider database, the
// simple address book and the history open; a Sender over them.
class SendFixture : public testing::Test
{
protected:
    static constexpr const char* pathsKey = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths";

    SendFixture()
        : script(registry.dir().file("record.txt"))
    {
        SettingsKey paths(RootKey::CurrentUser, pathsKey);
        (void)paths.setString("pspDbs", registry.dir().file("pspDbs.mdb"));
        (void)paths.setString("simpleAdb", registry.dir().file("simpleAdb.mdb"));
        (void)paths.setString("msgDbs", registry.dir().file("msg.dat"));
    }

    void SetUp() override
    {
        registerDrivers();
        ASSERT_TRUE(providers.open()) << providers.lastErrorText();
        ASSERT_NE(books.select(0) ? books.current() : nullptr, nullptr);
        ASSERT_TRUE(books.current()->open()) << books.current()->lastErrorText();
        history.initPath();
        sender.setPresenter(presenter);
    }

    // Registers the driver plug-ins the sends use: the fake under both drivers' classes.
    virtual void registerDrivers()
    {
        ASSERT_TRUE(FakeDriverScript::registerAs(FakeDriverIds::kestrelClass));
        ASSERT_TRUE(FakeDriverScript::registerAs(FakeDriverIds::ploverClass));
    }

    void setLogLevel(int level) const { privateLog.setLevel(level); }

    // Adds an address-book entry.
    void addEntry(const std::string& name, const std::string& pagerInfo)
    {
        ASSERT_TRUE(books.current()->add(name, pagerInfo)) << books.current()->lastErrorText();
    }

    // Runs one send with all outputs.
    SendOutcome send(const std::string& recipients, const std::string& message = "hello",
                     bool quiet = true, bool noHistory = true, const std::string& tag = "Local")
    {
        SendOutcome outcome;
        outcome.ran
            = sender.sendToRecipients(recipients, message, noHistory, quiet, tag, &outcome.sent,
                                      &outcome.failed, &outcome.total, &outcome.results);
        return outcome;
    }

    FakeDriverRecord record() const { return FakeDriverRecord(registry.dir().file("record.txt")); }

    // The log's lines, read back.
    std::vector<LogEntry> logEntries() const
    {
        std::vector<LogEntry> entries;
        LogFile log;
        if (!log.openForReading()) {
            return entries;
        }
        LogEntry entry;
        while (log.readEntry(entry)) {
            entries.push_back(entry);
        }
        return entries;
    }

    // Whether the log holds a line with exactly this level, tag and message.
    bool logged(int level, const std::string& tag, const std::string& message) const
    {
        for (const LogEntry& entry : logEntries()) {
            if (entry.level == level && entry.tag == tag && entry.message == message) {
                return true;
            }
        }
        return false;
    }

    // The lines of the history file.
    std::vector<std::string> historyLines() const
    {
        std::vector<std::string> lines;
        std::ifstream in(registry.dir().file("msg.dat"));
        std::string line;
        while (std::getline(in, line)) {
            lines.push_back(line);
        }
        return lines;
    }

    PrivateLog privateLog {6};
    const ScopedRegistry& registry = privateLog.registry();
    FakeDriverScript script;
    std::shared_ptr<HeadlessPrompt> prompt = std::make_shared<HeadlessPrompt>();
    ProviderDatabase providers {prompt};
    AddressBookSelection books {prompt};
    MessageHistory history;
    Sender sender {&providers, &books, &history};
    std::shared_ptr<RecordingPresenter> presenter = std::make_shared<RecordingPresenter>();
};
