#include "sending/SendResultTables.h"

#include "sending/GroupSender.h"
#include "sending/RecipientList.h"
#include "text/StringTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ReturnCodeCase
{
    std::int32_t code;
    int messageId; // 0: the per-message codes decide
    std::string text;
};

class SendReturnCode : public testing::TestWithParam<ReturnCodeCase>
{ };

TEST_P(SendReturnCode, MapsToItsSendErrorMessage)
{
    const ReturnCodeCase& c = GetParam();
    EXPECT_EQ(SendResultTables::sendErrorMessageId(c.code), c.messageId);
    if (c.messageId != 0) {
        EXPECT_EQ(StringTable::text(c.messageId), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SendReturnCode,
    testing::Values(ReturnCodeCase {0, 0, ""}, ReturnCodeCase {201, 0, ""},
                    ReturnCodeCase {207, 0, ""}, ReturnCodeCase {209, 0, ""},
                    ReturnCodeCase {210, 0, ""}, ReturnCodeCase {217, 0, ""},
                    ReturnCodeCase {1, 104, "Error\rCannot initialized PGE module"},
                    ReturnCodeCase {200, 105, "Write to communication port failed"},
                    ReturnCodeCase {202, 106, "Read from communication port failed"},
                    ReturnCodeCase {203, 107, "Remote timed out"},
                    ReturnCodeCase {204, 108, "Asynchronous I/O error"},
                    ReturnCodeCase {205, 109, "Login Failed. No message sent"},
                    ReturnCodeCase {206, 110, "Remote line busy. No message sent"},
                    ReturnCodeCase {208, 111, "Remote terminal not ready. No message sent"},
                    ReturnCodeCase {211, 112, "Login Failed, too many attempts. No message sent"},
                    ReturnCodeCase {212, 113,
                                    "Terminal not responding, too many attempts. No message sent"},
                    ReturnCodeCase {213, 114, "User aborted"},
                    ReturnCodeCase {214, 115, "Modem/Line in use. No message sent"},
                    ReturnCodeCase {215, 115, "Modem/Line in use. No message sent"},
                    ReturnCodeCase {216, 116, "Modem/Line error. No message sent"},
                    ReturnCodeCase {221, 160, "Protocol driver not available"},
                    ReturnCodeCase {222, 161, "Cannot connect to server"},
                    ReturnCodeCase {4, 148, "Unknown return code"},
                    ReturnCodeCase {7, 148, "Unknown return code"},
                    ReturnCodeCase {-1, 148, "Unknown return code"},
                    ReturnCodeCase {218, 148, "Unknown return code"}));

struct MessageCodeCase
{
    std::int32_t code;
    int messageId;
    std::string text;
    ResultStatus status;
};

class MessageResultCode : public testing::TestWithParam<MessageCodeCase>
{ };

TEST_P(MessageResultCode, MapsToItsRow)
{
    const MessageCodeCase& c = GetParam();
    const MessageOutcome outcome = SendResultTables::messageOutcome(c.code);
    EXPECT_EQ(outcome.messageId, c.messageId);
    EXPECT_EQ(outcome.text, c.text);
    EXPECT_EQ(outcome.status, c.status);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MessageResultCode,
    testing::Values(
        MessageCodeCase {0, 122, "Deleted before transmission", ResultStatus::ResultDeleted},
        MessageCodeCase {1, 121, "Sent successfully", ResultStatus::ResultSent},
        MessageCodeCase {2, 123, "Lost due to internal error", ResultStatus::ResultNotDeliverable},
        MessageCodeCase {3, 124, "Rejected by the remote server", ResultStatus::ResultRejected},
        MessageCodeCase {4, 125, "Too many send attempts", ResultStatus::ResultRejected},
        MessageCodeCase {5, 127, "Not processed due to error on previous stages",
                         ResultStatus::ResultFailed},
        MessageCodeCase {6, 128, "Aborted due to transmission error", ResultStatus::ResultFailed},
        MessageCodeCase {9, 129, "Unknown internal error code=9", ResultStatus::ResultFailed},
        MessageCodeCase {-3, 129, "Unknown internal error code=-3", ResultStatus::ResultFailed}));

TEST(SendStrings, MessagesOfThePipelineWithTheirHelpKeys)
{
    EXPECT_EQ(StringTable::text(StringId::NoValidAddress), "Error\rNo valid address specified");
    EXPECT_EQ(StringTable::helpKey(StringId::NoValidAddress), "HIDS_ERM_NOVALIDADDR");
    EXPECT_EQ(StringTable::text(StringId::AllMessagesSent), "All messages sent successfully");
    EXPECT_EQ(StringTable::helpKey(StringId::AllMessagesSent), "HIDS_MSG_ALLMSGSENT");
    EXPECT_EQ(StringTable::format(StringId::CannotDriver, {"Analog", "Driver not found"}),
              "Cannot driver Analog (Driver not found).");
    // Every message of the table is found by its id, so none was left out of the order.
    for (const int id : {102, 104, 117, 121, 129, 135, 141, 145, 148, 160, 161, 162, 180, 182}) {
        EXPECT_NE(StringTable::find(id), nullptr) << id;
    }
}

std::vector<std::string> texts(const std::vector<RecipientEntry>& entries)
{
    std::vector<std::string> result;
    for (const RecipientEntry& entry : entries) {
        result.push_back(entry.text);
    }
    return result;
}

TEST(RecipientListSplit, EmptyEntriesDoNotCount)
{
    EXPECT_TRUE(RecipientList::split("").empty());
    EXPECT_TRUE(RecipientList::split(";;").empty());
    EXPECT_TRUE(RecipientList::split(";").empty());
    EXPECT_EQ(texts(RecipientList::split(";a;;b ;")), (std::vector<std::string> {"a", "b "}));
    EXPECT_EQ(texts(RecipientList::split("555-1234/11")),
              (std::vector<std::string> {"555-1234/11"}));
}

TEST(RecipientListSplit, EntriesFromTheFortiethOnAreMarked)
{
    std::string list;
    for (int i = 1; i <= 42; ++i) {
        list += std::to_string(i) + ";;";
    }
    const std::vector<RecipientEntry> entries = RecipientList::split(list);
    ASSERT_EQ(entries.size(), 42U);
    EXPECT_EQ(entries[38].text, "39");
    EXPECT_EQ(entries[38].limitMessageId, 0);
    EXPECT_EQ(entries[39].text, "40");
    EXPECT_EQ(entries[39].limitMessageId, StringId::TooManyEntries);
    EXPECT_EQ(entries[41].limitMessageId, StringId::TooManyEntries);
}

TEST(RecipientListSplit, AnEntryReachingPastTheListLimitIsMarkedNotCut)
{
    // 1020 bytes of padding entry, then one that straddles byte 1023 and one wholly beyond.
    const std::string pad(1019, 'x');
    const std::string list = pad + ";555-1234/12;9!1";
    const std::vector<RecipientEntry> entries = RecipientList::split(list);
    ASSERT_EQ(entries.size(), 3U);
    EXPECT_EQ(entries[0].limitMessageId, 0);
    EXPECT_EQ(entries[1].text, "555-1234/12");
    EXPECT_EQ(entries[1].limitMessageId, StringId::ListTooLong);
    EXPECT_EQ(entries[2].limitMessageId, StringId::ListTooLong);

    const std::string exact = std::string(1012, 'y') + ";555-1234/1"; // ends at byte 1023
    ASSERT_EQ(exact.size(), RecipientList::maxListLength);
    EXPECT_EQ(RecipientList::split(exact)[1].limitMessageId, 0);
}

TEST(GroupOrder, ByTypeThenNumberBytesKeepingListOrderInAGroup)
{
    const auto record = [](AddressType type, std::string number, std::int32_t pin) {
        PagerAddress address;
        address.type = type;
        address.number = std::move(number);
        address.pin = pin;
        return address;
    };
    std::vector<PagerAddress> records {
        record(AddressType::Snpp, "host", 1),    record(AddressType::Ixo, "777-999", 2),
        record(AddressType::Analog, "555", 3),   record(AddressType::Ixo, "555-1234", 4),
        record(AddressType::Ixo, "777-999", 5),  record(AddressType::Ixo, "555-1234", 6),
        record(AddressType::Ixo, "\xC3\xA9", 7), record(AddressType::Ixo, "Z", 8),
    };
    GroupSender::orderRecords(records);
    std::vector<std::int32_t> pins;
    for (const PagerAddress& address : records) {
        pins.push_back(address.pin);
    }
    // Bytes compare unsigned: the 0xC3 byte sorts after "Z".
    EXPECT_EQ(pins, (std::vector<std::int32_t> {4, 6, 2, 5, 8, 7, 3, 1}));
}

} // namespace
