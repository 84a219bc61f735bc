#include "plugin/ControlShell.h"

#include "plugin/PluginModule.h"

#include <type_traits>
#include <vector>

namespace {

// More arguments than any member takes means a corrupt call, not a wrong count.
constexpr std::int32_t maxArguments = 64;

} // namespace

const NvDispatchVtbl ControlShell::s_vtbl
    = {&ControlShell::invokeEntry, &ControlShell::lastErrorTextEntry, &ControlShell::destroyEntry};

NvDispatch* ControlShell::wrap(std::unique_ptr<DispatchControl> control, PluginModule& module)
{
    auto* shell = new ControlShell(std::move(control), module);
    return &shell->m_header.dispatch;
}

ControlShell::ControlShell(std::unique_ptr<DispatchControl> control, PluginModule& module)
    : m_header {{&s_vtbl}, this}
    , m_control(std::move(control))
    , m_module(module)
{
    m_module.lock();
}

ControlShell::~ControlShell()
{
    m_control.reset();
    m_module.unlock();
}

ControlShell* ControlShell::from(NvDispatch* self)
{
    static_assert(std::is_standard_layout_v<Header>);
    return reinterpret_cast<Header*>(self)->shell;
}

std::int32_t ControlShell::invokeEntry(NvDispatch* self, std::int32_t dispId, std::int32_t kind,
                                       const NvValue* args, std::int32_t argCount,
                                       NvValue* result) noexcept
{
    if (result != nullptr) {
        *result = NvValue {};
    }
    if (self == nullptr) {
        return NV_E_INVALID_ARGUMENT;
    }
    ControlShell* shell = from(self);
    try {
        return shell->invoke(dispId, kind, args, argCount, result);
    } catch (const std::exception& e) {
        shell->failOnException(dispId, e.what(), result);
    } catch (...) {
        shell->failOnException(dispId, nullptr, result);
    }
    return NV_E_FAILED;
}

void ControlShell::failOnException(std::int32_t dispId, const char* what, NvValue* result) noexcept
{
    m_result = std::monostate {};
    if (result != nullptr) {
        *result = NvValue {};
    }
    try {
        m_lastError = "dispatch id " + std::to_string(dispId)
            + (what != nullptr ? std::string(" threw an exception: ") + what
                               : std::string(" threw an exception of unknown type"));
    } catch (...) {
        m_lastError.clear();
    }
}

const char* ControlShell::lastErrorTextEntry(NvDispatch* self) noexcept
{
    return self == nullptr ? "" : from(self)->m_lastError.c_str();
}

void ControlShell::destroyEntry(NvDispatch* self) noexcept
{
    if (self != nullptr) {
        delete from(self);
    }
}

std::int32_t ControlShell::fail(std::int32_t status, const std::string& text) noexcept
{
    try {
        m_lastError = text;
    } catch (...) {
        // Out of memory while describing the failure: the status still tells the host.
        m_lastError.clear();
    }
    return status;
}

std::int32_t ControlShell::invoke(std::int32_t dispId, std::int32_t kind, const NvValue* args,
                                  std::int32_t argCount, NvValue* result)
{
    // The previous result's text may go now: the host copied it when that call returned.
    m_result = std::monostate {};
    m_lastError.clear();
    if (!isCallKind(kind)) {
        return fail(NV_E_INVALID_ARGUMENT,
                    "unknown call kind " + std::to_string(kind) + " for dispatch id "
                        + std::to_string(dispId));
    }
    if (argCount < 0 || argCount > maxArguments || (argCount > 0 && args == nullptr)) {
        return fail(NV_E_INVALID_ARGUMENT,
                    "invalid argument list (count " + std::to_string(argCount)
                        + ") for dispatch id " + std::to_string(dispId));
    }
    std::vector<DispatchValue> values(static_cast<std::size_t>(argCount));
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!fromNvValue(args[i], values[i])) {
            return fail(NV_E_BAD_ARG_TYPE,
                        "argument " + std::to_string(i + 1) + " of dispatch id "
                            + std::to_string(dispId) + " has an unknown type tag "
                            + std::to_string(args[i].type) + " or a null text");
        }
    }
    DispatchValue out;
    std::string error;
    const DispatchStatus status
        = m_control->invoke(dispId, static_cast<CallKind>(kind), values, out, error);
    if (status != DispatchStatus::Ok) {
        return fail(static_cast<std::int32_t>(status),
                    error.empty() ? statusText(static_cast<std::int32_t>(status)) : error);
    }
    m_result = std::move(out);
    if (result != nullptr) {
        *result = toNvValue(m_result);
    }
    return NV_OK;
}
