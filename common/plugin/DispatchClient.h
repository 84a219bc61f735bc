#pragma once

#include "plugin/DispatchValue.h"
#include "plugin/PluginAbi.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

class PluginLibrary;

// The host's handle on one control instance: owns it (destroyed with the handle), calls
// it by dispatch number, and copies every result at once. Use it on one thread at a time.
// Failures are return values; lastError() and lastErrorText() say what failed.
class DispatchClient
{
public:
    // No control; every call fails.
    DispatchClient() = default;
    // Destroys the control it holds.
    ~DispatchClient();
    DispatchClient(DispatchClient&& other) noexcept;
    DispatchClient& operator=(DispatchClient&& other) noexcept;

    // Whether the handle holds a control.
    bool isValid() const { return m_dispatch != nullptr; }
    explicit operator bool() const { return isValid(); }
    // The class identifier of the control ("" when empty).
    const std::string& classId() const { return m_classId; }
    // Destroys the control now.
    void reset();

    // One call of member dispId as the given kind; `result` receives a copy of its value.
    [[nodiscard]] DispatchStatus invoke(std::int32_t dispId, CallKind kind,
                                        std::span<const DispatchValue> args, DispatchValue& result);
    // Calls a method, dropping its result.
    [[nodiscard]] bool callMethod(std::int32_t dispId,
                                  std::initializer_list<DispatchValue> args = {});
    // Calls a method that returns a 32-bit integer (a 16-bit result is widened).
    [[nodiscard]] bool callInt(std::int32_t dispId, std::initializer_list<DispatchValue> args,
                               std::int32_t& out);
    // Calls a method that returns text.
    [[nodiscard]] bool callText(std::int32_t dispId, std::initializer_list<DispatchValue> args,
                                std::string& out);
    // Reads a 32-bit integer property.
    [[nodiscard]] bool getInt(std::int32_t dispId, std::int32_t& out);
    // Writes a 32-bit integer property.
    [[nodiscard]] bool setInt(std::int32_t dispId, std::int32_t value);
    // Reads a text property.
    [[nodiscard]] bool getText(std::int32_t dispId, std::string& out);
    // Writes a text property.
    [[nodiscard]] bool setText(std::int32_t dispId, std::string_view value);

    // The status of the latest call (Ok after a success).
    DispatchStatus lastError() const { return m_lastStatus; }
    // What the latest failing call failed on and why ("" after a success).
    const std::string& lastErrorText() const { return m_lastError; }

private:
    friend class ControlLoader;
    using CancelCheck = std::function<bool()>;

    DispatchClient(NvDispatch* dispatch, std::shared_ptr<PluginLibrary> library,
                   std::string classId, std::unique_ptr<CancelCheck> cancelCheck);

    bool callExpecting(std::int32_t dispId, CallKind kind, std::span<const DispatchValue> args,
                       DispatchType wanted, DispatchValue& result);
    bool failResultType(std::int32_t dispId, DispatchType wanted, const DispatchValue& result);

    // Declared in the order they must outlive one another: the instance goes first.
    std::unique_ptr<CancelCheck> m_cancelCheck;
    std::shared_ptr<PluginLibrary> m_library;
    NvDispatch* m_dispatch = nullptr;
    std::string m_classId;
    DispatchStatus m_lastStatus = DispatchStatus::Ok;
    std::string m_lastError;
};
