#pragma once

#include "telephony/LineConfig.h"
#include "telephony/LineDevice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class LogFile;

// What the settings dialog shows of one line device.
struct LineDeviceInfo
{
    std::string name;
    bool supportsData = false;
    bool supportsVoice = false;
    std::string kind; // "modem" or "tcp"
    std::string target; // the serial device, or host:port
};

// The telephony layer: the line devices configured in the settings store (Hayes modems on
// serial devices, TCP lines to paging terminals), numbered from 0, and the dialling location.
class Telephony
{
public:
    // Any device that can make the call (the line mapper).
    static constexpr std::uint32_t lineMapper = 0xFFFFFFFF;

    // Reads the configured devices and the dialling location from the settings store.
    Telephony();

    // The number of configured line devices.
    int deviceCount() const;
    // The name and abilities of device n; false when it cannot be enumerated.
    [[nodiscard]] bool enumerate(std::uint32_t device, LineDeviceInfo& info) const;
    // Why device n cannot be enumerated or opened ("" when it can).
    std::string problem(std::uint32_t device) const;
    // A line on the device (lineMapper: the first device that can make a data call), or null
    // with lastError() 7 when no line can be opened on it.
    [[nodiscard]] std::unique_ptr<LineDevice> open(std::uint32_t device, LogFile& log,
                                                   std::string_view tag);
    // The dialable string for the number at the current location (its local access code, a
    // blank, the number), or the number unchanged when there is nothing to translate.
    std::string translate(const std::string& number) const;
    // The code of the last failure (0 for none).
    int lastError() const { return m_lastError; }

private:
    std::vector<LineConfig> m_lines;
    std::string m_localAccessCode;
    int m_lastError = 0;
};
