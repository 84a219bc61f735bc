#include "plugin/DispatchClient.h"

#include "plugin/PluginLibrary.h"

#include <utility>
#include <vector>

DispatchClient::DispatchClient(NvDispatch* dispatch, std::shared_ptr<PluginLibrary> library,
                               std::string classId, std::unique_ptr<CancelCheck> cancelCheck)
    : m_cancelCheck(std::move(cancelCheck))
    , m_library(std::move(library))
    , m_dispatch(dispatch)
    , m_classId(std::move(classId))
{ }

DispatchClient::~DispatchClient()
{
    reset();
}

DispatchClient::DispatchClient(DispatchClient&& other) noexcept
    : m_cancelCheck(std::move(other.m_cancelCheck))
    , m_library(std::move(other.m_library))
    , m_dispatch(std::exchange(other.m_dispatch, nullptr))
    , m_classId(std::move(other.m_classId))
    , m_lastStatus(other.m_lastStatus)
    , m_lastError(std::move(other.m_lastError))
{ }

DispatchClient& DispatchClient::operator=(DispatchClient&& other) noexcept
{
    if (this != &other) {
        reset();
        m_cancelCheck = std::move(other.m_cancelCheck);
        m_library = std::move(other.m_library);
        m_dispatch = std::exchange(other.m_dispatch, nullptr);
        m_classId = std::move(other.m_classId);
        m_lastStatus = other.m_lastStatus;
        m_lastError = std::move(other.m_lastError);
    }
    return *this;
}

void DispatchClient::reset()
{
    // The instance may still use the cancel check and the library's code while it ends.
    if (m_dispatch != nullptr) {
        m_dispatch->vtbl->destroy(m_dispatch);
        m_dispatch = nullptr;
    }
    m_library.reset();
    m_cancelCheck.reset();
}

DispatchStatus DispatchClient::invoke(std::int32_t dispId, CallKind kind,
                                      std::span<const DispatchValue> args, DispatchValue& result)
{
    result = std::monostate {};
    m_lastError.clear();
    const auto where = [&] {
        return "dispatch id " + std::to_string(dispId) + " (" + std::string(callKindName(kind))
            + ") of control " + m_classId;
    };
    if (m_dispatch == nullptr) {
        m_lastStatus = DispatchStatus::Failed;
        m_lastError = "no control to call for dispatch id " + std::to_string(dispId);
        return m_lastStatus;
    }
    std::vector<NvValue> cArgs;
    cArgs.reserve(args.size());
    for (const DispatchValue& arg : args) {
        cArgs.push_back(toNvValue(arg));
    }
    NvValue cResult {};
    const std::int32_t status
        = m_dispatch->vtbl->invoke(m_dispatch, dispId, static_cast<std::int32_t>(kind),
                                   cArgs.data(), static_cast<std::int32_t>(cArgs.size()), &cResult);
    m_lastStatus = static_cast<DispatchStatus>(status);
    if (status != NV_OK) {
        const char* text = m_dispatch->vtbl->lastErrorText(m_dispatch);
        m_lastError = where() + " failed: "
            + (text != nullptr && *text != '\0' ? std::string(text) : statusText(status));
        return m_lastStatus;
    }
    // The control owns the result's text only until our next call: copy it now.
    if (!fromNvValue(cResult, result)) {
        m_lastStatus = DispatchStatus::BadResultType;
        m_lastError = where() + " returned a value with the unknown type tag "
            + std::to_string(cResult.type) + " or a null text";
    }
    return m_lastStatus;
}

bool DispatchClient::failResultType(std::int32_t dispId, DispatchType wanted,
                                    const DispatchValue& result)
{
    m_lastStatus = DispatchStatus::BadResultType;
    m_lastError = "dispatch id " + std::to_string(dispId) + " of control " + m_classId
        + " returned " + std::string(dispatchTypeName(dispatchTypeOf(result))) + " where "
        + std::string(dispatchTypeName(wanted)) + " was expected";
    return false;
}

bool DispatchClient::callExpecting(std::int32_t dispId, CallKind kind,
                                   std::span<const DispatchValue> args, DispatchType wanted,
                                   DispatchValue& result)
{
    if (invoke(dispId, kind, args, result) != DispatchStatus::Ok) {
        return false;
    }
    if (wanted == DispatchType::Int32) {
        if (const auto* small = std::get_if<std::int16_t>(&result)) {
            result = static_cast<std::int32_t>(*small);
        }
    }
    if (wanted != DispatchType::Empty && dispatchTypeOf(result) != wanted) {
        return failResultType(dispId, wanted, result);
    }
    return true;
}

bool DispatchClient::callMethod(std::int32_t dispId, std::initializer_list<DispatchValue> args)
{
    DispatchValue result;
    return callExpecting(dispId, CallKind::Method, {args.begin(), args.size()}, DispatchType::Empty,
                         result);
}

bool DispatchClient::callInt(std::int32_t dispId, std::initializer_list<DispatchValue> args,
                             std::int32_t& out)
{
    DispatchValue result;
    if (!callExpecting(dispId, CallKind::Method, {args.begin(), args.size()}, DispatchType::Int32,
                       result)) {
        return false;
    }
    out = std::get<std::int32_t>(result);
    return true;
}

bool DispatchClient::callText(std::int32_t dispId, std::initializer_list<DispatchValue> args,
                              std::string& out)
{
    DispatchValue result;
    if (!callExpecting(dispId, CallKind::Method, {args.begin(), args.size()}, DispatchType::Text,
                       result)) {
        return false;
    }
    out = std::move(std::get<std::string>(result));
    return true;
}

bool DispatchClient::getInt(std::int32_t dispId, std::int32_t& out)
{
    DispatchValue result;
    if (!callExpecting(dispId, CallKind::PropertyGet, {}, DispatchType::Int32, result)) {
        return false;
    }
    out = std::get<std::int32_t>(result);
    return true;
}

bool DispatchClient::setInt(std::int32_t dispId, std::int32_t value)
{
    const DispatchValue arg = value;
    DispatchValue result;
    return callExpecting(dispId, CallKind::PropertyPut, {&arg, 1}, DispatchType::Empty, result);
}

bool DispatchClient::getText(std::int32_t dispId, std::string& out)
{
    DispatchValue result;
    if (!callExpecting(dispId, CallKind::PropertyGet, {}, DispatchType::Text, result)) {
        return false;
    }
    out = std::move(std::get<std::string>(result));
    return true;
}

bool DispatchClient::setText(std::int32_t dispId, std::string_view value)
{
    const DispatchValue arg = std::string(value);
    DispatchValue result;
    return callExpecting(dispId, CallKind::PropertyPut, {&arg, 1}, DispatchType::Empty, result);
}
