#include "SendFixture.h"
#include "sending/GatewaySendAdapter.h"
#include "sending/SchedulerSendAdapter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

class SendConcurrency : public SendFixture
{
protected:
    // Waits (boundedly) until the condition holds.
    template<class Condition>
    static bool waitFor(Condition condition)
    {
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }
};

TEST_F(SendConcurrency, ASecondSendWaitsForTheFirstIncludingItsResults)
{
    presenter->hold();
    std::thread first([this] { (void)send("555-1234/11", "first", false); });
    ASSERT_TRUE(presenter->waitUntilShowing());

    std::atomic<bool> secondDone {false};
    std::thread second([&] {
        (void)send("777-999/12", "second", true, true, "Sch(later)");
        secondDone = true;
    });
    ASSERT_TRUE(waitFor([&] { return sender.waitingSends() == 1; }));
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(secondDone.load());
    EXPECT_EQ(record().transmissions().size(), 1U);

    presenter->release();
    first.join();
    second.join();
    EXPECT_TRUE(secondDone.load());
    const FakeDriverRecord record = this->record();
    ASSERT_EQ(record.transmissions().size(), 2U);
    EXPECT_EQ(record.transmissions()[1].address, "777-999");
    // The second send's driver was made after the first's was gone.
    EXPECT_NE(record.transmissions()[0].instance, record.transmissions()[1].instance);
}

TEST_F(SendConcurrency, AVisibleSendServesItsEventsWhileItWaits)
{
    script.setSendDelayMs(300);
    std::thread quiet([this] { (void)send("555-1234/11", "quiet", true, true, "SNPP(10.0.0.7)"); });
    ASSERT_TRUE(waitFor([this] { return sender.isSending(); }));
    const SendOutcome outcome = send("777-999/12", "shown", false);
    quiet.join();
    EXPECT_EQ(outcome.sent, 1);
    EXPECT_GT(presenter->servedCount(), 0);
}

TEST_F(SendConcurrency, SendsFromThreeThreadsKeepTheirOwnTagsAndGoInTurn)
{
    constexpr int rounds = 4;
    const std::vector<std::string> tags {"Local", "Sch(nightly)", "SNPP(127.0.0.1)"};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < tags.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < rounds; ++round) {
                const std::string pin = std::to_string(static_cast<int>(t) * 100 + round + 1);
                const SendOutcome outcome = send("555-1234/" + pin, "hi", true, true, tags[t]);
                EXPECT_EQ(outcome.sent, 1);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    // Every transmission holds one send's page only, and each page's log line carries the tag
    // of the thread that sent it.
    const FakeDriverRecord record = this->record();
    ASSERT_EQ(record.transmissions().size(), tags.size() * rounds);
    for (const FakeTransmission& transmission : record.transmissions()) {
        EXPECT_EQ(transmission.messages.size(), 1U);
    }
    int checked = 0;
    for (const LogEntry& entry : logEntries()) {
        if (entry.message.rfind("Message (555-1234/", 0) != 0) {
            continue;
        }
        const int pin = std::stoi(entry.message.substr(std::string("Message (555-1234/").size()));
        EXPECT_EQ(entry.tag, tags[static_cast<std::size_t>(pin / 100)]) << entry.message;
        ++checked;
    }
    EXPECT_EQ(checked, static_cast<int>(tags.size()) * rounds);
}

TEST_F(SendConcurrency, TheHostsCancelAbortsTheRunningTransmissionAndSkipsTheRest)
{
    std::atomic<bool> cancel {false};
    ControlOptions options;
    options.isCancelled = [&cancel] { return cancel.load(); };
    sender.setDriverOptions(options);
    script.setSendDelayMs(5000);

    std::thread canceller([&] {
        EXPECT_TRUE(waitFor([&] { return !record().calls().empty(); }));
        std::this_thread::sleep_for(50ms);
        cancel = true;
    });
    const auto start = std::chrono::steady_clock::now();
    const SendOutcome outcome = send("555-1234/1;777-999/2;host!3");
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
    EXPECT_EQ(outcome.sent, 0);
    EXPECT_EQ(outcome.failed, 3);
    ASSERT_EQ(outcome.results.count(), 3U);
    for (const ResultRow& row : outcome.results.rows()) {
        EXPECT_EQ(row.text, "User aborted") << row.recipient;
        EXPECT_EQ(row.status, ResultStatus::ResultFailed);
    }
    // Only the first group reached a driver's send.
    EXPECT_EQ(record().transmissions().size(), 1U);
}

TEST_F(SendConcurrency, TheSchedulersAdapterSendsQuietlyWithoutHistoryUnderItsTag)
{
    SchedulerSendAdapter adapter(sender);
    ScheduledSender& scheduled = adapter;
    EXPECT_TRUE(scheduled.sendScheduled("555-1234/11;nobody", "Backup done", "Sch(Backup)"));
    EXPECT_TRUE(presenter->messages.empty());
    EXPECT_TRUE(presenter->shownRows.empty());
    EXPECT_TRUE(historyLines().empty());
    EXPECT_TRUE(logged(4, "Sch(Backup)", "Message (555-1234/11,1,0): Sent successfully"));
    EXPECT_EQ(record().transmissions().size(), 1U);
}

TEST_F(SendConcurrency, TheGatewayLearnsTheCountsOfItsRelayedSend)
{
    GatewaySendAdapter adapter(sender);
    GatewaySender& gateway = adapter;
    GatewaySendCounts counts;
    ASSERT_TRUE(gateway.sendGatewayPages("555-1234/11;;nobody;host!2", "relayed", "SNPP(10.0.0.7)",
                                         counts));
    EXPECT_EQ(counts.sent, 2);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_EQ(counts.total, 3);
    EXPECT_TRUE(presenter->shownRows.empty());
    EXPECT_TRUE(historyLines().empty());
    EXPECT_TRUE(logged(4, "SNPP(10.0.0.7)", "Message (host!2,3,0): Sent successfully"));
}

} // namespace
