#pragma once

#include "kestrel/LineSource.h"
#include "telephony/Telephony.h"

// The plug-in's lines: the telephony layer's configured line devices.
class TelephonyLineSource final : public LineSource
{
public:
    std::unique_ptr<LineDevice> open(std::uint32_t device, LogFile& log,
                                     std::string_view tag) override
    {
        return m_telephony.open(device, log, tag);
    }
    std::string translate(const std::string& number) const override
    {
        return m_telephony.translate(number);
    }
    int lastError() const override { return m_telephony.lastError(); }

private:
    Telephony m_telephony;
};
