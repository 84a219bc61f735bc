#pragma once

#include "addressing/PagerAddress.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class PagingDriver;
class LogFile;
class ProviderDatabase;
class SendDrivers;
class SendPresenter;
class SendResults;
struct Transmission;

// The transmitting half of one send: orders the resolved addresses by type and number, runs
// one driver transmission per (type, number) group (a group larger than a driver's message
// list in as many transmissions as it needs), and turns the driver's codes into one result
// row and log line per recipient.
class GroupSender
{
public:
    // What the transmissions need besides the addresses.
    struct Context
    {
        SendDrivers& drivers;
        ProviderDatabase* providers = nullptr; // null: the number is the provider name
        SendResults& results;
        LogFile& log;
        std::string_view originTag;
        std::string_view message;
        SendPresenter* presenter = nullptr; // told of each transmission; may be null
        std::function<bool()> isCancelled; // the host's cancel request; may be empty
    };

    // A sender for one send.
    explicit GroupSender(Context context);

    // Orders the records and transmits every group; returns the number of pages the drivers
    // reported as sent.
    int sendAll(std::vector<PagerAddress>& records);

    // Orders records by type, then by number byte by byte, keeping list order within a group.
    static void orderRecords(std::vector<PagerAddress>& records);

private:
    void reportNoDriver(const PagerAddress& record, const std::string& errorText);
    int transmit(PagingDriver& driver, std::span<const PagerAddress> group, int part, int parts);
    std::string providerNameOf(const std::string& number);

    Context m_context;
};
