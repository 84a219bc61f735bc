#pragma once

#include "plugin/DispatchValue.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// What the dispatch interface knows of one member: its number, how it is called, its
// parameter types and its result type.
struct MemberSignature
{
    std::int32_t dispId = 0;
    CallKind kind = CallKind::Method;
    std::string_view name; // for messages
    std::vector<DispatchType> params;
    DispatchType result = DispatchType::Empty;
};

// The part of a member table that does not depend on the control's class: finding the
// member and checking the arguments, in one place for every control.
class MemberSignatures
{
public:
    // Finds the member for dispId and kind and converts the arguments to its parameter
    // types (a 16-bit argument widens to 32 bits; a 32-bit one narrows to 16 bits only when
    // it fits). On success `index` is the member's position in the table.
    DispatchStatus resolve(std::int32_t dispId, CallKind kind, std::span<const DispatchValue> args,
                           std::vector<DispatchValue>& converted, std::size_t& index,
                           std::string& error) const;
    // The signatures in declaration order.
    const std::vector<MemberSignature>& signatures() const { return m_signatures; }

protected:
    std::vector<MemberSignature> m_signatures;
};

namespace MemberTypes {

// How a C++ parameter type maps to a dispatch value type.
template<class T>
struct Param;
template<>
struct Param<std::int16_t>
{
    static constexpr DispatchType type = DispatchType::Int16;
    static std::int16_t from(const DispatchValue& v) { return std::get<std::int16_t>(v); }
};
template<>
struct Param<std::int32_t>
{
    static constexpr DispatchType type = DispatchType::Int32;
    static std::int32_t from(const DispatchValue& v) { return std::get<std::int32_t>(v); }
};
template<>
struct Param<std::string>
{
    static constexpr DispatchType type = DispatchType::Text;
    static const std::string& from(const DispatchValue& v) { return std::get<std::string>(v); }
};
template<>
struct Param<std::string_view>
{
    static constexpr DispatchType type = DispatchType::Text;
    static std::string_view from(const DispatchValue& v) { return std::get<std::string>(v); }
};

// How a C++ result type maps to a dispatch value type.
template<class R>
constexpr DispatchType resultType()
{
    if constexpr (std::is_void_v<R>) {
        return DispatchType::Empty;
    } else {
        return Param<std::remove_cvref_t<R>>::type;
    }
}

} // namespace MemberTypes

// The members of a control class, declared once: dispatch id, call kind and a member function
// whose parameter and result types give the member's signature. The table checks every call
// against the signature before the function runs.
//
//   static const MemberTable<MyCtrl> table{
//       MemberTable<MyCtrl>::getter(1, "debugLevel", &MyCtrl::debugLevel),
//       MemberTable<MyCtrl>::setter(1, "debugLevel", &MyCtrl::setDebugLevel),
//       MemberTable<MyCtrl>::method(6, "addMessage", &MyCtrl::addMessage),
//   };
template<class Control>
class MemberTable : public MemberSignatures
{
public:
    using Handler = std::function<DispatchValue(Control&, std::span<const DispatchValue>)>;

    // One member: its signature and the code that runs it on checked arguments.
    struct Member
    {
        MemberSignature signature;
        Handler handler;
    };

    // A table of the given members; for a repeated dispatch id and kind the first one counts.
    MemberTable(std::initializer_list<Member> members)
    {
        for (const Member& member : members) {
            m_signatures.push_back(member.signature);
            m_handlers.push_back(member.handler);
        }
    }

    // A method member.
    template<class R, class... A>
    static Member method(std::int32_t dispId, std::string_view name, R (Control::*fn)(A...))
    {
        return make<R, A...>(dispId, CallKind::Method, name, fn);
    }
    // A method member that leaves the control unchanged.
    template<class R, class... A>
    static Member method(std::int32_t dispId, std::string_view name, R (Control::*fn)(A...) const)
    {
        return make<R, A...>(dispId, CallKind::Method, name, fn);
    }
    // The get half of a property.
    template<class R>
    static Member getter(std::int32_t dispId, std::string_view name, R (Control::*fn)() const)
    {
        static_assert(!std::is_void_v<R>, "a property get returns a value");
        return make<R>(dispId, CallKind::PropertyGet, name, fn);
    }
    // The put half of a property.
    template<class A>
    static Member setter(std::int32_t dispId, std::string_view name, void (Control::*fn)(A))
    {
        return make<void, A>(dispId, CallKind::PropertyPut, name, fn);
    }

    // Checks the call against the table and runs the member on the control.
    [[nodiscard]] DispatchStatus dispatch(Control& control, std::int32_t dispId, CallKind kind,
                                          std::span<const DispatchValue> args,
                                          DispatchValue& result, std::string& error) const
    {
        std::vector<DispatchValue> converted;
        std::size_t index = 0;
        const DispatchStatus status = resolve(dispId, kind, args, converted, index, error);
        if (status != DispatchStatus::Ok) {
            return status;
        }
        result = m_handlers[index](control, converted);
        return DispatchStatus::Ok;
    }

private:
    template<class R, class... A, class Fn>
    static Member make(std::int32_t dispId, CallKind kind, std::string_view name, Fn fn)
    {
        MemberSignature signature {dispId,
                                   kind,
                                   name,
                                   {MemberTypes::Param<std::remove_cvref_t<A>>::type...},
                                   MemberTypes::resultType<R>()};
        Handler handler = [fn](Control& control, std::span<const DispatchValue> args) {
            return call<R, A...>(control, fn, args, std::index_sequence_for<A...> {});
        };
        return Member {std::move(signature), std::move(handler)};
    }

    template<class R, class... A, class Fn, std::size_t... I>
    static DispatchValue call(Control& control, Fn fn, std::span<const DispatchValue> args,
                              std::index_sequence<I...>)
    {
        if constexpr (std::is_void_v<R>) {
            (control.*fn)(MemberTypes::Param<std::remove_cvref_t<A>>::from(args[I])...);
            return DispatchValue {};
        } else {
            return DispatchValue {
                (control.*fn)(MemberTypes::Param<std::remove_cvref_t<A>>::from(args[I])...)};
        }
    }

    std::vector<Handler> m_handlers;
};
