#pragma once

#include "sending/PagingDriver.h"

// The host's wrapper of the IXO/TAP driver control `kestrel`.
class CKestrel final : public PagingDriver
{
public:
    // The control class the wrapper hosts.
    static constexpr std::string_view controlClassId = "{EDFD8418-26BA-11D2-AC37-000000000000}";
    // The plug-in that serves the class (libkestrel.so).
    static constexpr std::string_view pluginName = "kestrel";
    // The control's dispatch numbers.
    static constexpr DriverDispatchIds dispatch {
        .debugLevel = 1,
        .providerName = 2,
        .clientName = 3,
        .send = 5,
        .addMessage = 6,
        .clear = 7,
        .showProperties = 8,
        .getMessageCount = 9,
        .getMessageResultCode = 10,
        .aboutBox = -552,
    };

    // A wrapper without a control yet (see create()).
    CKestrel()
        : PagingDriver(controlClassId, dispatch, pluginName)
    { }
};
