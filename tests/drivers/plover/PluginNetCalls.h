#pragma once

#include "FakeSystemCalls.h"

#include <string>

// FakeSystemCalls installed into the plover test module as well: the module at `pluginPath`
// (libplover_test.so) is loaded (or found loaded) and given the object through its
// nvInstallSystemCalls entry point. Its
// destruction lets held lookups go, waits for the plug-in's lookup helpers, restores the
// plug-in's real calls and then the process's.
class PluginNetCalls : public FakeSystemCalls
{
public:
    // Installs the fake into the plug-in; a failure fails the test.
    explicit PluginNetCalls(const std::string& pluginPath);
    ~PluginNetCalls() override;

private:
    void* m_library = nullptr;
    int (*m_install)(SystemCalls*, int) = nullptr;
};
