#include "sending/GroupSender.h"

#include "directories/ProviderDatabase.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "sending/PagingDriver.h"
#include "sending/SendDrivers.h"
#include "sending/SendPresenter.h"
#include "sending/SendResultTables.h"
#include "sending/SendResults.h"
#include "sending/Transmission.h"
#include "text/StringTable.h"

#include <algorithm>
#include <utility>

namespace {

// The send return code that the host's own cancel stands for.
constexpr std::int32_t userAborted = 213;

bool sameGroup(const PagerAddress& a, const PagerAddress& b)
{
    return a.type == b.type && a.number == b.number;
}

} // namespace

GroupSender::GroupSender(Context context)
    : m_context(std::move(context))
{ }

void GroupSender::orderRecords(std::vector<PagerAddress>& records)
{
    // std::string compares as unsigned bytes, which is the order wanted for numbers.
    std::stable_sort(records.begin(), records.end(),
                     [](const PagerAddress& a, const PagerAddress& b) {
                         if (a.type != b.type) {
                             return a.type < b.type;
                         }
                         return a.number < b.number;
                     });
}

int GroupSender::sendAll(std::vector<PagerAddress>& records)
{
    orderRecords(records);
    int sent = 0;
    std::size_t at = 0;
    while (at < records.size()) {
        const AddressType type = records[at].type;
        std::string errorText;
        PagingDriver* driver = m_context.drivers.driverFor(type, errorText);
        if (driver == nullptr) {
            for (; at < records.size() && records[at].type == type; ++at) {
                reportNoDriver(records[at], errorText);
            }
            continue;
        }
        std::size_t end = at;
        while (end < records.size() && sameGroup(records[at], records[end])) {
            ++end;
        }
        const std::span<const PagerAddress> group(records.data() + at, end - at);
        const std::size_t chunk = PagingDriver::maxMessages;
        const int parts = static_cast<int>((group.size() + chunk - 1) / chunk);
        for (int part = 0; part < parts; ++part) {
            const std::size_t first = static_cast<std::size_t>(part) * chunk;
            sent += transmit(*driver, group.subspan(first, std::min(chunk, group.size() - first)),
                             part + 1, parts);
        }
        at = end;
    }
    return sent;
}

void GroupSender::reportNoDriver(const PagerAddress& record, const std::string& errorText)
{
    const std::string protocol(addressTypeName(record.type));
    const std::string text = StringTable::format(StringId::CannotDriver, {protocol, errorText});
    m_context.results.addRow(record.recipientText, ResultStatus::ResultNotDeliverable, text, 0);
    m_context.log.write(LogLevel::Debug, m_context.originTag, "Message (%s,%d,%d): %s",
                        record.recipientText.c_str(), static_cast<int>(record.type),
                        static_cast<int>(PagingDriver::unavailableCode), text.c_str());
}

std::string GroupSender::providerNameOf(const std::string& number)
{
    std::string name;
    if (m_context.providers != nullptr && m_context.providers->getName(number, name)) {
        return name;
    }
    return number;
}

int GroupSender::transmit(PagingDriver& driver, std::span<const PagerAddress> group, int part,
                          int parts)
{
    const PagerAddress& head = group.front();
    const int type = static_cast<int>(head.type);
    Transmission transmission {head.type, head.number, {}, static_cast<int>(group.size()),
                               part,      parts};

    std::int32_t returnCode = userAborted;
    std::int32_t held = 0;
    if (m_context.isCancelled && m_context.isCancelled()) {
        // The user gave up on the send: the groups still to go are not started at all.
        m_context.log.write(LogLevel::Trans, m_context.originTag,
                            "Send to %s cancelled before it started", head.number.c_str());
    } else {
        driver.clearLastError();
        driver.clear();
        for (const PagerAddress& record : group) {
            // The PIN goes as its decimal form, so leading zeros never reach the driver.
            (void)driver.addMessage(std::to_string(record.pin), m_context.message);
        }
        transmission.providerName = providerNameOf(head.number);
        driver.setProviderName(transmission.providerName);
        if (parts > 1) {
            m_context.log.write(LogLevel::Info, m_context.originTag,
                                "Sending part %d of %d to %s (%zu messages)", part, parts,
                                head.number.c_str(), group.size());
        }
        if (m_context.presenter != nullptr) {
            m_context.presenter->transmissionStarted(transmission);
        }
        returnCode = driver.send(head.number);
        if (m_context.presenter != nullptr) {
            m_context.presenter->transmissionEnded(transmission, returnCode);
        }
        held = std::clamp<std::int32_t>(driver.getMessageCount(), 0,
                                        static_cast<std::int32_t>(group.size()));
        if (!driver.lastErrorText().empty()) {
            m_context.log.write(LogLevel::Errors, m_context.originTag, "Driver call failed (%s)",
                                driver.lastErrorText().c_str());
        }
    }

    const int errorId = SendResultTables::sendErrorMessageId(returnCode);
    int sent = 0;
    for (std::size_t k = 0; k < group.size(); ++k) {
        const PagerAddress& record = group[k];
        const bool isHeld = static_cast<std::int32_t>(k) < held;
        const std::int32_t code
            = isHeld ? driver.getMessageResultCode(static_cast<std::int16_t>(k)) : 0;
        const bool failedWhole = errorId != 0 && !(isHeld && code == SendResultTables::sentCode);
        MessageOutcome outcome;
        if (failedWhole) {
            // A page the server acknowledged before the transmission failed went out: calling
            // it failed would have it resent, and its pager paged twice.
            outcome
                = {errorId, std::string(StringTable::text(errorId)), ResultStatus::ResultFailed};
        } else if (isHeld) {
            outcome = SendResultTables::messageOutcome(code);
        } else {
            // The driver lost the message: it still gets a row, not silence.
            outcome = SendResultTables::messageOutcome(PagingDriver::noSuchMessage);
        }
        if (outcome.status == ResultStatus::ResultSent) {
            ++sent;
        }
        m_context.results.addRow(record.recipientText, outcome.status, outcome.text, 0);
        m_context.results.setLastReturnCode(returnCode);
        m_context.log.write(LogLevel::Trans, m_context.originTag, "Message (%s,%d,%d): %s",
                            record.recipientText.c_str(), type, failedWhole ? errorId : 0,
                            outcome.text.c_str());
    }
    return sent;
}
