#pragma once

#include "addressing/AddressType.h"

#include <string>

// One transmission of a send, as progress displays see it: the protocol, the modem number or
// SNPP host, the provider name given to the driver and the number of pages. A group larger
// than a driver's list goes in several parts.
struct Transmission
{
    AddressType type = AddressType::Invalid;
    std::string number;
    std::string providerName;
    int messageCount = 0;
    int part = 1; // 1-based
    int parts = 1;
};
