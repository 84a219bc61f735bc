#include "plugin/MemberTable.h"

#include <limits>

namespace {

// "addMessage (dispatch id 6)"
std::string describe(const MemberSignature& member)
{
    return std::string(member.name) + " (dispatch id " + std::to_string(member.dispId) + ")";
}

// Converts one argument to the parameter's type, widening or narrowing integers.
DispatchStatus convert(const DispatchValue& in, DispatchType wanted, DispatchValue& out)
{
    const DispatchType have = dispatchTypeOf(in);
    if (have == wanted) {
        out = in;
        return DispatchStatus::Ok;
    }
    if (wanted == DispatchType::Int32 && have == DispatchType::Int16) {
        out = static_cast<std::int32_t>(std::get<std::int16_t>(in));
        return DispatchStatus::Ok;
    }
    if (wanted == DispatchType::Int16 && have == DispatchType::Int32) {
        const std::int32_t value = std::get<std::int32_t>(in);
        if (value < std::numeric_limits<std::int16_t>::min()
            || value > std::numeric_limits<std::int16_t>::max()) {
            return DispatchStatus::OutOfRange;
        }
        out = static_cast<std::int16_t>(value);
        return DispatchStatus::Ok;
    }
    return DispatchStatus::BadArgType;
}

} // namespace

DispatchStatus MemberSignatures::resolve(std::int32_t dispId, CallKind kind,
                                         std::span<const DispatchValue> args,
                                         std::vector<DispatchValue>& converted, std::size_t& index,
                                         std::string& error) const
{
    const MemberSignature* sameId = nullptr;
    const MemberSignature* member = nullptr;
    for (std::size_t i = 0; i < m_signatures.size() && member == nullptr; ++i) {
        if (m_signatures[i].dispId != dispId) {
            continue;
        }
        sameId = &m_signatures[i];
        if (m_signatures[i].kind == kind) {
            member = &m_signatures[i];
            index = i;
        }
    }
    if (sameId == nullptr) {
        error = "no member has dispatch id " + std::to_string(dispId);
        return DispatchStatus::UnknownDispId;
    }
    if (member == nullptr) {
        error = describe(*sameId) + " cannot be used as a " + std::string(callKindName(kind));
        return DispatchStatus::WrongCallKind;
    }
    if (args.size() != member->params.size()) {
        error = describe(*member) + " takes " + std::to_string(member->params.size())
            + " argument(s), got " + std::to_string(args.size());
        return DispatchStatus::BadArgCount;
    }
    converted.assign(args.size(), DispatchValue {});
    for (std::size_t i = 0; i < args.size(); ++i) {
        const DispatchType wanted = member->params[i];
        const DispatchStatus status = convert(args[i], wanted, converted[i]);
        if (status == DispatchStatus::OutOfRange) {
            error = "argument " + std::to_string(i + 1) + " of " + describe(*member) + ": "
                + std::to_string(std::get<std::int32_t>(args[i]))
                + " does not fit a 16-bit integer";
            return status;
        }
        if (status != DispatchStatus::Ok) {
            error = "argument " + std::to_string(i + 1) + " of " + describe(*member) + " must be "
                + std::string(dispatchTypeName(wanted)) + ", got "
                + std::string(dispatchTypeName(dispatchTypeOf(args[i])));
            return status;
        }
    }
    return DispatchStatus::Ok;
}
