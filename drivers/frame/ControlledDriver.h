#pragma once

#include <string_view>

// What a driver control asks of its driver object outside a send (ControlCore).
class ControlledDriver
{
public:
    virtual ~ControlledDriver() = default;

    // Sets the overall code of the latest operation.
    virtual void setLastError(int code) = 0;
    // Writes one line to the shared log outside a send (the log is opened for the line).
    virtual void logOutsideSend(int level, std::string_view text) = 0;
};
