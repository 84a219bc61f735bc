#pragma once

#include "plugin/PluginAbi.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

// The C++ side of the dispatch interface's value types, call kinds and status codes, shared
// by the host and the plug-ins.

// The type of an argument or result.
enum class DispatchType : std::int32_t {
    Empty = NV_TYPE_EMPTY,
    Int16 = NV_TYPE_INT16,
    Int32 = NV_TYPE_INT32,
    Text = NV_TYPE_TEXT,
};

// How a member is called.
enum class CallKind : std::int32_t {
    Method = NV_CALL_METHOD,
    PropertyGet = NV_CALL_PROPERTY_GET,
    PropertyPut = NV_CALL_PROPERTY_PUT,
};

// The outcome of a call through the dispatch interface.
enum class DispatchStatus : std::int32_t {
    Ok = NV_OK,
    UnknownDispId = NV_E_UNKNOWN_DISPID,
    BadArgCount = NV_E_BAD_ARG_COUNT,
    BadArgType = NV_E_BAD_ARG_TYPE,
    OutOfRange = NV_E_OUT_OF_RANGE,
    WrongCallKind = NV_E_WRONG_CALL_KIND,
    Failed = NV_E_FAILED,
    InvalidArgument = NV_E_INVALID_ARGUMENT,
    UnknownClass = NV_E_UNKNOWN_CLASS,
    BadResultType = NV_E_BAD_RESULT_TYPE,
    Registration = NV_E_REGISTRATION,
};

// One argument or result: nothing, a 16-bit or 32-bit signed integer, or narrow text.
using DispatchValue = std::variant<std::monostate, std::int16_t, std::int32_t, std::string>;

// The type tag of a value.
DispatchType dispatchTypeOf(const DispatchValue& value);
// The name of a value type for messages ("16-bit integer").
std::string_view dispatchTypeName(DispatchType type);
// The name of a call kind for messages ("property get").
std::string_view callKindName(CallKind kind);
// A status code as a short sentence for messages; unknown codes are named by number.
std::string statusText(std::int32_t status);
// Whether the number is one of the call kinds.
bool isCallKind(std::int32_t kind);

// The C form of a value; its text points into `value`, which must outlive the result.
NvValue toNvValue(const DispatchValue& value);
// The C++ form of a C value; false for an unknown tag or a null text pointer.
[[nodiscard]] bool fromNvValue(const NvValue& in, DispatchValue& out);
