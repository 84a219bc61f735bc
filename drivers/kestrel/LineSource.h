#pragma once

#include "telephony/LineDevice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class LogFile;

// Where the IXO/TAP driver gets the lines it dials out on: the telephony layer in the
// plug-in, scripted lines in the driver's own tests.
class LineSource
{
public:
    virtual ~LineSource() = default;

    // A line on the device (Telephony::lineMapper: any device that can make a data call), or
    // null with lastError() 7 when no line can be opened on it.
    [[nodiscard]] virtual std::unique_ptr<LineDevice> open(std::uint32_t device, LogFile& log,
                                                           std::string_view tag)
        = 0;
    // The dialable string for the number at the current dialling location.
    virtual std::string translate(const std::string& number) const = 0;
    // The code of the last failure (0 for none).
    virtual int lastError() const = 0;
};
