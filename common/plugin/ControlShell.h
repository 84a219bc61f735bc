#pragma once

#include "plugin/DispatchControl.h"
#include "plugin/PluginAbi.h"

#include <memory>
#include <string>

class PluginModule;

// The C dispatch object around one control of a plug-in: the trampolines that turn C calls
// into DispatchControl::invoke, convert values both ways, keep a text result alive until the
// next call, and turn every exception into a failure status. Holds one lock on its module
// for its whole life so the module is not unloaded under it.
class ControlShell
{
public:
    // The dispatch object for the control; destroying it through its table deletes both.
    static NvDispatch* wrap(std::unique_ptr<DispatchControl> control, PluginModule& module);

    ControlShell(const ControlShell&) = delete;
    ControlShell& operator=(const ControlShell&) = delete;

private:
    // The C object the host holds; standard layout, so its first member is its address.
    struct Header
    {
        NvDispatch dispatch;
        ControlShell* shell;
    };

    ControlShell(std::unique_ptr<DispatchControl> control, PluginModule& module);
    ~ControlShell();

    static ControlShell* from(NvDispatch* self);
    static std::int32_t invokeEntry(NvDispatch* self, std::int32_t dispId, std::int32_t kind,
                                    const NvValue* args, std::int32_t argCount,
                                    NvValue* result) noexcept;
    static const char* lastErrorTextEntry(NvDispatch* self) noexcept;
    static void destroyEntry(NvDispatch* self) noexcept;

    std::int32_t invoke(std::int32_t dispId, std::int32_t kind, const NvValue* args,
                        std::int32_t argCount, NvValue* result);
    std::int32_t fail(std::int32_t status, const std::string& text) noexcept;
    void failOnException(std::int32_t dispId, const char* what, NvValue* result) noexcept;

    static const NvDispatchVtbl s_vtbl;

    Header m_header;
    std::unique_ptr<DispatchControl> m_control;
    PluginModule& m_module;
    DispatchValue m_result; // owns the text of the latest result
    std::string m_lastError;
};
