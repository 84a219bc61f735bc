#pragma once

#include "plugin/DispatchValue.h"

#include <cstdint>
#include <span>
#include <string>

// The base of every control a plug-in serves: one call entry in C++ types. The plug-in
// layer adapts it to the C dispatch object, so an implementation may throw; the exception
// becomes a failure status and never reaches the host.
class DispatchControl
{
public:
    DispatchControl() = default;
    virtual ~DispatchControl() = default;
    DispatchControl(const DispatchControl&) = delete;
    DispatchControl& operator=(const DispatchControl&) = delete;

    // Runs member dispId as the given kind; on success `result` holds its value (empty for
    // none), on failure `error` says why.
    [[nodiscard]] virtual DispatchStatus invoke(std::int32_t dispId, CallKind kind,
                                                std::span<const DispatchValue> args,
                                                DispatchValue& result, std::string& error)
        = 0;
};
