#pragma once

#include "sending/PagingDriver.h"

// The host's wrapper of the SNPP driver control `plover`.
class CPlover final : public PagingDriver
{
public:
    // The control class the wrapper hosts.
    static constexpr std::string_view controlClassId = "{518B4086-2747-11D2-AC39-000000000000}";
    // The plug-in that serves the class (libplover.so).
    static constexpr std::string_view pluginName = "plover";
    // The control's dispatch numbers.
    static constexpr DriverDispatchIds dispatch {
        .debugLevel = 3,
        .providerName = 2,
        .clientName = 1,
        .send = 5,
        .addMessage = 4,
        .clear = 6,
        .showProperties = 9,
        .getMessageCount = 7,
        .getMessageResultCode = 8,
        .aboutBox = -552,
    };

    // A wrapper without a control yet (see create()).
    CPlover()
        : PagingDriver(controlClassId, dispatch, pluginName)
    { }
};
