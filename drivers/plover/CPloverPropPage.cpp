#include "plover/CPloverPropPage.h"

DispatchStatus CPloverPropPage::invoke(std::int32_t dispId, CallKind kind,
                                       std::span<const DispatchValue>, DispatchValue& result,
                                       std::string& error)
{
    result = DispatchValue {};
    error = "the Plover property page has no member " + std::to_string(dispId) + " ("
        + std::string(callKindName(kind)) + ")";
    return DispatchStatus::UnknownDispId;
}
