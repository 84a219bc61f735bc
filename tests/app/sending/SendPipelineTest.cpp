#include "SendFixture.h"
#include "plugin/ClassRegistry.h"
#include "text/StringTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Rows = std::vector<ResultRow>;

// The rows as "recipient|status|text" lines, to compare whole results at once.
std::vector<std::string> describe(const Rows& rows)
{
    std::vector<std::string> lines;
    for (const ResultRow& row : rows) {
        lines.push_back(row.recipient + "|" + std::string(resultStatusName(row.status)) + "|"
                        + row.text);
    }
    return lines;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

class SendPipeline : public SendFixture
{ };

// A presenter through which the user starts another send on the same thread: from the
// results window, or while the send waits its turn and serves the thread's events.
class ReentrantPresenter final : public SendPresenter
{
public:
    explicit ReentrantPresenter(Sender& sender)
        : m_sender(sender)
    { }
    void showMessage(int, std::string_view, std::string_view) override { }
    void showResults(const SendResults&) override { sendAgain(); }
    void serveEvents() override { sendAgain(); }

    std::vector<bool> innerSends;

private:
    void sendAgain()
    {
        innerSends.push_back(
            m_sender.sendToRecipients("777-999/12", "inner", true, false, "Local"));
    }

    Sender& m_sender;
};

TEST_F(SendPipeline, OneCallPerModemNumberThenOneSnppConnection)
{
    const SendOutcome outcome = send("555-1234/11;555-1234/12;somehost!7", "Server down");
    ASSERT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.sent, 3);
    EXPECT_EQ(outcome.failed, 0);
    EXPECT_EQ(outcome.total, 3);
    EXPECT_EQ(describe(outcome.results.rows()),
              (std::vector<std::string> {"555-1234/11|sent|Sent successfully",
                                         "555-1234/12|sent|Sent successfully",
                                         "somehost!7|sent|Sent successfully"}));
    for (const ResultRow& row : outcome.results.rows()) {
        EXPECT_EQ(row.helpCode, 0);
    }

    const FakeDriverRecord record = this->record();
    ASSERT_EQ(record.transmissions().size(), 2U);
    const FakeTransmission& ixo = record.transmissions()[0];
    EXPECT_EQ(ixo.layout, "kestrel");
    EXPECT_EQ(ixo.address, "555-1234");
    EXPECT_EQ(ixo.messages, (Pairs {{"11", "Server down"}, {"12", "Server down"}}));
    const FakeTransmission& snpp = record.transmissions()[1];
    EXPECT_EQ(snpp.layout, "plover");
    EXPECT_EQ(snpp.address, "somehost");
    EXPECT_EQ(snpp.messages, (Pairs {{"7", "Server down"}}));
    // Each driver was made once and is gone after the send.
    ASSERT_EQ(record.created("kestrel").size(), 1U);
    ASSERT_EQ(record.created("plover").size(), 1U);
    EXPECT_EQ(record.destroyed().size(), 2U);
}

TEST_F(SendPipeline, GroupsGoInNumberOrderThroughOneDriverClearedPerGroup)
{
    const SendOutcome outcome = send("777-999/12;555-1234/11");
    EXPECT_EQ(outcome.sent, 2);
    const FakeDriverRecord record = this->record();
    ASSERT_EQ(record.transmissions().size(), 2U);
    EXPECT_EQ(record.transmissions()[0].address, "555-1234");
    EXPECT_EQ(record.transmissions()[0].messages, (Pairs {{"11", "hello"}}));
    EXPECT_EQ(record.transmissions()[1].address, "777-999");
    EXPECT_EQ(record.transmissions()[1].messages, (Pairs {{"12", "hello"}}));
    ASSERT_EQ(record.created("kestrel").size(), 1U);
    EXPECT_EQ(record.transmissions()[0].instance, record.transmissions()[1].instance);
    EXPECT_EQ(describe(outcome.results.rows()),
              (std::vector<std::string> {"555-1234/11|sent|Sent successfully",
                                         "777-999/12|sent|Sent successfully"}));

    // The calls of one group: clear, the messages, the provider name, send, then the results.
    std::vector<std::string> members;
    for (const FakeCall& call : record.calls()) {
        members.push_back(call.member);
    }
    const std::vector<std::string> oneGroup {"clear", "addMessage",      "providerName",
                                             "send",  "getMessageCount", "getMessageResultCode"};
    std::vector<std::string> expected = oneGroup;
    expected.insert(expected.end(), oneGroup.begin(), oneGroup.end());
    EXPECT_EQ(members, expected);
}

TEST_F(SendPipeline, AnalogAddressesHaveNoDriverAndTheOthersStillGo)
{
    const SendOutcome outcome = send("555-1234/11;5551234;somehost!7");
    EXPECT_EQ(outcome.sent, 2);
    EXPECT_EQ(outcome.failed, 1);
    EXPECT_EQ(describe(outcome.results.rows()),
              (std::vector<std::string> {"555-1234/11|sent|Sent successfully",
                                         "5551234|not deliverable|Cannot driver Analog (Driver "
                                         "not found).",
                                         "somehost!7|sent|Sent successfully"}));
    EXPECT_EQ(record().transmissions().size(), 2U);
    EXPECT_TRUE(
        logged(6, "Local", "Message (5551234,2,221): Cannot driver Analog (Driver not found)."));
}

TEST_F(SendPipeline, NamesResolveThroughTheAddressBookAndUnknownNamesFail)
{
    addEntry("Alice", "555-1234/0042");
    const SendOutcome outcome = send("nobody;Alice");
    EXPECT_EQ(outcome.sent, 1);
    EXPECT_EQ(outcome.failed, 1);
    EXPECT_EQ(outcome.total, 2);
    ASSERT_EQ(outcome.results.count(), 2U);
    const ResultRow& missing = outcome.results.rows()[0];
    EXPECT_EQ(missing.recipient, "nobody");
    EXPECT_EQ(missing.status, ResultStatus::ResultNotDeliverable);
    EXPECT_EQ(missing.text, "Address Book Error: entry not found");
    EXPECT_EQ(missing.helpCode, 0x3008D);
    EXPECT_EQ(outcome.results.rows()[1].recipient, "Alice");
    EXPECT_EQ(outcome.results.rows()[1].status, ResultStatus::ResultSent);
    // The PIN reaches the driver as its number: no leading zeros.
    ASSERT_EQ(record().transmissions().size(), 1U);
    EXPECT_EQ(record().transmissions()[0].messages, (Pairs {{"42", "hello"}}));
    EXPECT_TRUE(
        logged(4, "Local", "Address nobody not found (Address Book Error: entry not found)"));
}

TEST_F(SendPipeline, LeadingZerosOfAPinDoNotReachTheDriver)
{
    (void)send("555-1234/0042;host!007");
    const FakeDriverRecord record = this->record();
    ASSERT_EQ(record.transmissions().size(), 2U);
    EXPECT_EQ(record.transmissions()[0].messages, (Pairs {{"42", "hello"}}));
    EXPECT_EQ(record.transmissions()[1].messages, (Pairs {{"7", "hello"}}));
}

TEST_F(SendPipeline, BadAddressesGetTheParsersErrorAndHelpCode)
{
    const SendOutcome outcome = send("555-1234/0;host!;/12;555-1234/5");
    EXPECT_EQ(outcome.sent, 1);
    EXPECT_EQ(outcome.failed, 3);
    ASSERT_EQ(outcome.results.count(), 4U);
    const Rows& rows = outcome.results.rows();
    EXPECT_EQ(rows[0].text, "Invalid Address: bad pin number (0)");
    EXPECT_EQ(rows[0].helpCode, 0x30091);
    EXPECT_EQ(rows[1].text, "Invalid Address: bad service provider phone number(host!)");
    EXPECT_EQ(rows[1].helpCode, 0x30090);
    EXPECT_EQ(rows[2].recipient, "/12");
    EXPECT_EQ(rows[2].helpCode, 0x30090);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rows[static_cast<std::size_t>(i)].status, ResultStatus::ResultNotDeliverable);
    }
    EXPECT_EQ(rows[3].recipient, "555-1234/5");
    EXPECT_TRUE(logged(4, "Local", "Bad Address 555-1234/0 (Invalid Address: bad pin number (0))"));
}

TEST_F(SendPipeline, NoEntriesShowMessage102AndCountNothing)
{
    for (const std::string list : {";;", ""}) {
        presenter->messages.clear();
        const SendOutcome outcome = send(list, "hello", false);
        ASSERT_TRUE(outcome.ran);
        EXPECT_EQ(outcome.sent, 0);
        EXPECT_EQ(outcome.failed, 0);
        EXPECT_EQ(outcome.total, 0);
        ASSERT_EQ(presenter->messages.size(), 1U) << list;
        EXPECT_EQ(presenter->messages[0].id, 102);
        EXPECT_EQ(presenter->messages[0].helpKey, "HIDS_ERM_NOVALIDADDR");
        EXPECT_EQ(presenter->messages[0].origin, "main");
        EXPECT_TRUE(presenter->shownRows.empty());
    }
    EXPECT_TRUE(record().transmissions().empty());
    EXPECT_TRUE(record().created("kestrel").empty());
}

TEST_F(SendPipeline, NothingResolvedShowsMessage102NotTheResults)
{
    const SendOutcome outcome = send("nobody;5551234x", "hello", false);
    EXPECT_EQ(outcome.failed, 2);
    EXPECT_EQ(outcome.results.count(), 2U); // the caller still learns why
    ASSERT_EQ(presenter->messages.size(), 1U);
    EXPECT_EQ(presenter->messages[0].id, 102);
    EXPECT_TRUE(presenter->shownRows.empty());
}

TEST_F(SendPipeline, QuietSendsShowNothing)
{
    (void)send(";;", "hello", true);
    (void)send("555-1234/11;nobody", "hello", true);
    EXPECT_TRUE(presenter->messages.empty());
    EXPECT_TRUE(presenter->shownRows.empty());
    EXPECT_TRUE(presenter->started.empty());
}

TEST_F(SendPipeline, ASendStartedFromItsOwnResultsWindowIsRefusedNotDeadlocked)
{
    auto reentrant = std::make_shared<ReentrantPresenter>(sender);
    sender.setPresenter(reentrant);
    const SendOutcome outcome = send("555-1234/11", "outer", false);
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.sent, 1);
    EXPECT_EQ(reentrant->innerSends, std::vector<bool> {false});
    ASSERT_EQ(record().transmissions().size(), 1U);
    // The sender is free again for the next send on this thread.
    sender.setPresenter(presenter);
    EXPECT_EQ(send("777-999/12", "next", false).sent, 1);
}

TEST_F(SendPipeline, ASendStartedWhileItsThreadWaitsItsTurnIsRefused)
{
    script.setSendDelayMs(300);
    std::thread other([this] { (void)send("555-1234/11", "first", true); });
    while (!sender.isSending()) {
        std::this_thread::yield();
    }
    auto reentrant = std::make_shared<ReentrantPresenter>(sender);
    sender.setPresenter(reentrant);
    const SendOutcome outcome = send("555-1234/12", "waiting", false);
    other.join();
    EXPECT_EQ(outcome.sent, 1);
    ASSERT_FALSE(reentrant->innerSends.empty());
    for (const bool inner : reentrant->innerSends) {
        EXPECT_FALSE(inner);
    }
    EXPECT_EQ(record().transmissions().size(), 2U);
}

TEST_F(SendPipeline, AVisibleSendShowsOneRowPerRecipientAndEachTransmission)
{
    (void)send("555-1234/11;555-1234/12", "hello", false);
    ASSERT_EQ(presenter->shownRows.size(), 1U);
    EXPECT_EQ(describe(presenter->shownRows[0]),
              (std::vector<std::string> {"555-1234/11|sent|Sent successfully",
                                         "555-1234/12|sent|Sent successfully"}));
    EXPECT_TRUE(presenter->messages.empty());
    ASSERT_EQ(presenter->started.size(), 1U);
    EXPECT_EQ(presenter->started[0].type, AddressType::Ixo);
    EXPECT_EQ(presenter->started[0].number, "555-1234");
    EXPECT_EQ(presenter->started[0].messageCount, 2);
    EXPECT_EQ(presenter->endCodes, (std::vector<std::int32_t> {0}));
}

TEST_F(SendPipeline, AWholeTransmissionFailureFailsEveryMessageOfThatGroup)
{
    script.setSendCodeFor("555-1234", 213);
    script.setSendCodeFor("host", 222);
    const SendOutcome outcome = send("555-1234/11;555-1234/12;777-999/3;host!1");
    EXPECT_EQ(outcome.sent, 1);
    EXPECT_EQ(outcome.failed, 3);
    EXPECT_EQ(describe(outcome.results.rows()),
              (std::vector<std::string> {
                  "555-1234/11|failed|User aborted", "555-1234/12|failed|User aborted",
                  "777-999/3|sent|Sent successfully", "host!1|failed|Cannot connect to server"}));
    EXPECT_TRUE(logged(4, "Local", "Message (555-1234/11,1,114): User aborted"));
    EXPECT_TRUE(logged(4, "Local", "Message (777-999/3,1,0): Sent successfully"));
    EXPECT_TRUE(logged(4, "Local", "Message (host!1,3,161): Cannot connect to server"));
}

TEST_F(SendPipeline, PerMessageCodesDecideWhenTheSendReturnsNoError)
{
    script.setMessageCode(11, 5);
    script.setMessageCode(12, 3);
    script.setMessageCode(13, 9);
    script.setMessageCode(14, 0);
    script.setSendCodeFor("777-999", 201);
    script.setMessageCode(1, 1);
    const SendOutcome outcome = send("555-1234/11;555-1234/12;555-1234/13;555-1234/14;777-999/1");
    EXPECT_EQ(outcome.sent, 1);
    EXPECT_EQ(outcome.failed, 4);
    EXPECT_EQ(describe(outcome.results.rows()),
              (std::vector<std::string> {
                  "555-1234/11|failed|Not processed due to error on previous stages",
                  "555-1234/12|rejected|Rejected by the remote server",
                  "555-1234/13|failed|Unknown internal error code=9",
                  "555-1234/14|deleted|Deleted before transmission",
                  "777-999/1|sent|Sent successfully"}));
}

TEST_F(SendPipeline, AMessageTheDriverNoLongerHoldsGetsARowAndCountsAsFailed)
{
    script.setHoldBack(1);
    const SendOutcome outcome = send("555-1234/11;555-1234/12");
    EXPECT_EQ(outcome.sent, 1);
    EXPECT_EQ(outcome.failed, 1);
    EXPECT_EQ(
        describe(outcome.results.rows()),
        (std::vector<std::string> {"555-1234/11|sent|Sent successfully",
                                   "555-1234/12|not deliverable|Lost due to internal error"}));
}

TEST_F(SendPipeline, ProviderNamesComeFromTheProviderDatabase)
{
    ASSERT_TRUE(providers.add("Acme Paging", "555-1234"));
    (void)send("Acme Paging/11;777-999/2;host:444!3");
    const FakeDriverRecord record = this->record();
    ASSERT_EQ(record.transmissions().size(), 3U);
    EXPECT_EQ(record.transmissions()[0].address, "555-1234");
    EXPECT_EQ(record.transmissions()[0].providerName, "Acme Paging");
    EXPECT_EQ(record.transmissions()[1].address, "777-999");
    EXPECT_EQ(record.transmissions()[1].providerName, "777-999");
    EXPECT_EQ(record.transmissions()[2].address, "host:444");
    EXPECT_EQ(record.transmissions()[2].providerName, "host:444");
}

TEST_F(SendPipeline, ADriverThatCannotBeCreatedFailsOnlyItsProtocol)
{
    ASSERT_TRUE(ClassRegistry().unregisterClass(FakeDriverIds::ploverClass, ""));
    const SendOutcome outcome = send("host!1;555-1234/11;other!2");
    EXPECT_EQ(outcome.sent, 1);
    EXPECT_EQ(outcome.failed, 2);
    const Rows& rows = outcome.results.rows();
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0].recipient, "555-1234/11");
    for (std::size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(rows[i].status, ResultStatus::ResultNotDeliverable);
        EXPECT_EQ(rows[i].text.rfind("Cannot driver Snpp (", 0), 0U) << rows[i].text;
        EXPECT_NE(rows[i].text.find("518B4086-2747-11D2-AC39-000000000000"), std::string::npos)
            << rows[i].text;
        EXPECT_EQ(rows[i].text.back(), '.');
    }

    script.setFailCreate(true);
    const SendOutcome refused = send("555-1234/11");
    ASSERT_EQ(refused.results.count(), 1U);
    EXPECT_NE(refused.results.rows()[0].text.find("refuse its creation"), std::string::npos)
        << refused.results.rows()[0].text;
    EXPECT_EQ(record().refused(), 1);
}

TEST_F(SendPipeline, AGroupLargerThanTheDriverListGoesInSeveralTransmissions)
{
    std::string list;
    for (int pin = 1; pin <= 25; ++pin) {
        list += "555-1234/" + std::to_string(pin) + ";";
    }
    list += "host!1";
    const SendOutcome outcome = send(list);
    EXPECT_EQ(outcome.sent, 26);
    EXPECT_EQ(outcome.failed, 0);
    const FakeDriverRecord record = this->record();
    ASSERT_EQ(record.transmissions().size(), 3U);
    EXPECT_EQ(record.transmissions()[0].messages.size(), 20U);
    EXPECT_EQ(record.transmissions()[0].messages.front().first, "1");
    EXPECT_EQ(record.transmissions()[1].messages.size(), 5U);
    EXPECT_EQ(record.transmissions()[1].messages.front().first, "21");
    EXPECT_EQ(record.transmissions()[0].instance, record.transmissions()[1].instance);
    EXPECT_EQ(record.transmissions()[2].layout, "plover");
    ASSERT_EQ(outcome.results.count(), 26U);
    EXPECT_EQ(outcome.results.rows()[24].recipient, "555-1234/25");
    EXPECT_TRUE(logged(5, "Local", "Sending part 2 of 2 to 555-1234 (5 messages)"));
}

TEST_F(SendPipeline, EntriesBeyondTheFixedLimitsGetARowEachAndCountAsFailed)
{
    // 45 entries: 30 addresses go, entries 31 to 39 are beyond the address limit, 40 to 45
    // beyond the entry limit; a bad entry among them still reads as what is wrong with it.
    std::string list;
    for (int pin = 1; pin <= 45; ++pin) {
        list += (pin == 33 ? std::string("nobody") : "555-1234/" + std::to_string(pin)) + ";";
    }
    const SendOutcome outcome = send(list);
    EXPECT_EQ(outcome.total, 45);
    EXPECT_EQ(outcome.sent, 30);
    EXPECT_EQ(outcome.failed, 15);
    ASSERT_EQ(outcome.results.count(), 45U);
    std::size_t beyondAddresses = 0;
    std::size_t beyondEntries = 0;
    for (const ResultRow& row : outcome.results.rows()) {
        if (row.text == "Not sent: more than 30 addresses in one send") {
            ++beyondAddresses;
        } else if (row.text == "Not sent: more than 39 recipients in one send") {
            ++beyondEntries;
            EXPECT_EQ(row.status, ResultStatus::ResultNotDeliverable);
        }
    }
    EXPECT_EQ(beyondAddresses, 8U);
    EXPECT_EQ(beyondEntries, 6U);
    const FakeDriverRecord record = this->record();
    ASSERT_EQ(record.transmissions().size(), 2U);
    EXPECT_EQ(record.transmissions()[1].messages.back().first, "30");
    EXPECT_TRUE(
        logged(4, "Local",
               "Address 555-1234/45 not sent (Not sent: more than 39 recipients in one send)"));
    EXPECT_TRUE(logged(
        4, "Local", "Address 555-1234/31 not sent (Not sent: more than 30 addresses in one send)"));

    const SendOutcome tooLong = send(std::string(1019, 'n') + ";555-1234/12");
    ASSERT_EQ(tooLong.results.count(), 2U);
    EXPECT_EQ(tooLong.results.rows()[1].text,
              "Not sent: the recipient list is longer than 1023 characters");
    EXPECT_EQ(tooLong.results.rows()[1].recipient, "555-1234/12");
    EXPECT_EQ(tooLong.failed, 2);
}

TEST_F(SendPipeline, TheSendIsLoggedUnderItsOriginTag)
{
    (void)send("555-1234/11", "Disk full", true, true, "Sch(Disk alarm)");
    EXPECT_TRUE(
        logged(6, "Sch(Disk alarm)", "sendToRecipients called (555-1234/11,Disk full,1,1)"));
    EXPECT_TRUE(logged(4, "Sch(Disk alarm)", "Message (555-1234/11,1,0): Sent successfully"));
    for (const LogEntry& entry : logEntries()) {
        if (entry.tag == "Local") {
            EXPECT_EQ(entry.message.find("Message ("), std::string::npos) << entry.message;
            EXPECT_EQ(entry.message.find("sendToRecipients"), std::string::npos) << entry.message;
        }
    }
}

TEST_F(SendPipeline, ASendWithoutAnOriginIsLoggedAsNoName)
{
    (void)send("555-1234/11", "hi", true, true, "");
    EXPECT_TRUE(logged(4, "NoName", "Message (555-1234/11,1,0): Sent successfully"));
}

TEST_F(SendPipeline, TheLogLevelFiltersThePipelinesLines)
{
    setLogLevel(4);
    (void)send("555-1234/11;5551234");
    EXPECT_FALSE(logged(6, "Local", "sendToRecipients called (555-1234/11;5551234,hello,1,1)"));
    EXPECT_TRUE(logged(4, "Local", "Message (555-1234/11,1,0): Sent successfully"));
    EXPECT_FALSE(
        logged(6, "Local", "Message (5551234,2,221): Cannot driver Analog (Driver not found)."));
}

TEST_F(SendPipeline, TheHistoryIsWrittenBeforeAnyPageAndWhateverTheOutcome)
{
    script.setSendCode(206);
    const SendOutcome busy = send("555-1234/11", "first", true, false);
    EXPECT_EQ(busy.sent, 0);
    EXPECT_EQ(historyLines(), (std::vector<std::string> {"555-1234/11=first\r"}));
    (void)send("555-1234/11", "not recorded", true, true);
    (void)send(";;", "second", false, false);
    EXPECT_EQ(historyLines(), (std::vector<std::string> {";;=second\r", "555-1234/11=first\r"}));
}

// A presenter that looks at the history file as each transmission starts, before its page goes.
class HistoryPeekPresenter final : public SendPresenter
{
public:
    explicit HistoryPeekPresenter(std::function<std::vector<std::string>()> readHistory)
        : m_readHistory(std::move(readHistory))
    { }
    void showMessage(int, std::string_view, std::string_view) override { }
    void showResults(const SendResults&) override { }
    void transmissionStarted(const Transmission&) override { seen.push_back(m_readHistory()); }

    std::vector<std::vector<std::string>> seen;

private:
    std::function<std::vector<std::string>()> m_readHistory;
};

TEST_F(SendPipeline, TheHistoryHoldsTheSendBeforeItsFirstTransmissionStarts)
{
    auto peek = std::make_shared<HistoryPeekPresenter>([this] { return historyLines(); });
    sender.setPresenter(peek);
    (void)send("555-1234/11;host!7", "early", false, false);
    const std::vector<std::string> expected {"555-1234/11;host!7=early\r"};
    EXPECT_EQ(peek->seen, (std::vector<std::vector<std::string>> {expected, expected}));
}

TEST_F(SendPipeline, ThirtyDifferentSendsLeaveTwentyOneHistoryLinesNewestFirst)
{
    for (int i = 1; i <= 30; ++i) {
        (void)send("555-1234/" + std::to_string(i), "page " + std::to_string(i), true, false);
    }
    const std::vector<std::string> lines = historyLines();
    ASSERT_EQ(lines.size(), 21U);
    EXPECT_EQ(lines.front(), "555-1234/30=page 30\r");
    EXPECT_EQ(lines.back(), "555-1234/10=page 10\r");
}

} // namespace
