#pragma once

#include "PrivateLog.h"
#include "directories/AddressBook.h"
#include "directories/AddressBookSelection.h"
#include "directories/HeadlessPrompt.h"
#include "directories/ProviderDatabase.h"
#include "gateway/GatewaySender.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// A send the fake sender was asked to make.
struct RecordedSend
{
    std::string recipients;
    std::string message;
    std::string originTag;
};

// A GatewaySender that records each send and answers with the configured outcome.
class RecordingSender final : public GatewaySender
{
public:
    bool sendGatewayPages(std::string_view recipients, std::string_view message,
                          std::string_view originTag, GatewaySendCounts& counts) override;

    // The outcome of the following sends: false means the send could not be started.
    void answer(bool started, int sent, int failed);
    // Every send so far.
    std::vector<RecordedSend> sends() const;
    // Waits up to timeoutMs until `count` sends were made.
    bool waitForSends(std::size_t count, int timeoutMs) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<RecordedSend> m_sends;
    bool m_started = true;
    int m_sent = 1;
    int m_failed = 0;
};

// A private settings store with the log at level 12 in its folder, and the simple address
// book and provider database there too, opened and filled through the real classes.
class GatewayWorld
{
public:
    GatewayWorld();

    // Adds an address-book entry; fails the test when refused.
    void addEntry(const std::string& name, const std::string& pagerInfo);
    // Adds a provider; fails the test when refused.
    void addProvider(const std::string& name, const std::string& phone);
    // Writes the SnppSrv values (port as text).
    void configure(bool enabled, const std::string& port, bool fromAdbOnly = false,
                   bool level2Login = false);
    // Adds a value to SnppSrv\hosts.
    void allowHost(const std::string& name);
    // The log file's whole text.
    std::string logText() const;
    // Whether the log holds a line containing `text`.
    bool logHas(std::string_view text) const;
    // Waits up to timeoutMs until the log holds a line containing `text`.
    bool waitForLog(std::string_view text, int timeoutMs) const;

    const ScopedRegistry& registry() const { return m_registry; }
    ProviderDatabase& providers() { return m_providers; }
    AddressBookSelection& books() { return m_books; }
    AddressBook& book() { return *m_book; }

private:
    PrivateLog m_log {12};
    const ScopedRegistry& m_registry = m_log.registry();
    std::shared_ptr<HeadlessPrompt> m_prompt;
    ProviderDatabase m_providers;
    AddressBookSelection m_books;
    AddressBook* m_book = nullptr;
};
