#include "plugin/DispatchValue.h"

DispatchType dispatchTypeOf(const DispatchValue& value)
{
    switch (value.index()) {
    case 1:
        return DispatchType::Int16;
    case 2:
        return DispatchType::Int32;
    case 3:
        return DispatchType::Text;
    default:
        return DispatchType::Empty;
    }
}

std::string_view dispatchTypeName(DispatchType type)
{
    switch (type) {
    case DispatchType::Empty:
        return "no value";
    case DispatchType::Int16:
        return "16-bit integer";
    case DispatchType::Int32:
        return "32-bit integer";
    case DispatchType::Text:
        return "text";
    }
    return "unknown type";
}

std::string_view callKindName(CallKind kind)
{
    switch (kind) {
    case CallKind::Method:
        return "method call";
    case CallKind::PropertyGet:
        return "property get";
    case CallKind::PropertyPut:
        return "property put";
    }
    return "unknown call kind";
}

std::string statusText(std::int32_t status)
{
    switch (static_cast<DispatchStatus>(status)) {
    case DispatchStatus::Ok:
        return "success";
    case DispatchStatus::UnknownDispId:
        return "unknown dispatch id";
    case DispatchStatus::BadArgCount:
        return "wrong number of arguments";
    case DispatchStatus::BadArgType:
        return "wrong argument type";
    case DispatchStatus::OutOfRange:
        return "argument out of range";
    case DispatchStatus::WrongCallKind:
        return "wrong kind of call";
    case DispatchStatus::Failed:
        return "the call failed";
    case DispatchStatus::InvalidArgument:
        return "invalid argument";
    case DispatchStatus::UnknownClass:
        return "class not served by the plug-in";
    case DispatchStatus::BadResultType:
        return "unexpected result type";
    case DispatchStatus::Registration:
        return "registration failed";
    }
    return "unknown status " + std::to_string(status);
}

bool isCallKind(std::int32_t kind)
{
    return kind == NV_CALL_METHOD || kind == NV_CALL_PROPERTY_GET || kind == NV_CALL_PROPERTY_PUT;
}

NvValue toNvValue(const DispatchValue& value)
{
    NvValue out {};
    out.type = static_cast<std::int32_t>(dispatchTypeOf(value));
    if (const auto* i16 = std::get_if<std::int16_t>(&value)) {
        out.u.i16 = *i16;
    } else if (const auto* i32 = std::get_if<std::int32_t>(&value)) {
        out.u.i32 = *i32;
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        out.u.text = text->c_str();
    }
    return out;
}

bool fromNvValue(const NvValue& in, DispatchValue& out)
{
    switch (in.type) {
    case NV_TYPE_EMPTY:
        out = std::monostate {};
        return true;
    case NV_TYPE_INT16:
        out = in.u.i16;
        return true;
    case NV_TYPE_INT32:
        out = in.u.i32;
        return true;
    case NV_TYPE_TEXT:
        if (in.u.text == nullptr) {
            return false;
        }
        out = std::string(in.u.text);
        return true;
    default:
        return false;
    }
}
