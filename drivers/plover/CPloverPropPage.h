#pragma once

#include "plugin/DispatchControl.h"

// The plover control's property page. It is registered with the control but binds nothing:
// it has no members, shows no settings and reports no change.
class CPloverPropPage final : public DispatchControl
{
public:
    DispatchStatus invoke(std::int32_t dispId, CallKind kind, std::span<const DispatchValue> args,
                          DispatchValue& result, std::string& error) override;
};
