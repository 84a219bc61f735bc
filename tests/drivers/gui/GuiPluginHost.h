#pragma once

#include "PrivateLog.h"
#include "plugin/ControlLoader.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// A host of a driver plug-in for a Qt test: a private settings store whose log the test reads
// (PrivateLog), the plug-in registered in it from its built file, and controls created by
// class identifier.
class GuiPluginHost
{
public:
    // A host with the plug-in built at `pluginPath` registered; see isValid().
    explicit GuiPluginHost(const std::string& pluginPath);

    // Whether the store was made and the plug-in registered; lastErrorText() says why not.
    bool isValid() const { return m_registered; }
    // What went wrong at the latest step.
    std::string lastErrorText() const;
    // The private store and its log.
    const PrivateLog& store() const { return m_store; }
    // A control of the class that asks to see its windows, or not; an invalid client (and a
    // warning saying why) when it cannot be made.
    DispatchClient create(std::string_view controlClass, bool showProgress = true);

    // Calls the control's method on this, the GUI thread, or on a worker thread while this one
    // serves events, as hosts do both; `result`, when given, takes the method's number. True
    // when the call ran (and, from a worker, ended in time).
    static bool callOn(bool fromWorker, DispatchClient& control, std::int32_t dispId,
                       std::initializer_list<DispatchValue> args = {},
                       std::int32_t* result = nullptr);
    // The rows of a send test run on the GUI thread and from a worker thread: the columns
    // "fromWorker" and "modality" (the progress window's modality each way).
    static void addSendThreadRows();

private:
    PrivateLog m_store; // made first and gone last: the loader's entries live in it
    ControlLoader m_loader;
    bool m_registered = false;
};
