#pragma once

#include "plugin/ControlError.h"
#include "plugin/PluginAbi.h"

#include <memory>
#include <string>

// One loaded plug-in file with its checked entry points. Loaded libraries are shared through
// a process-wide cache: loading the same file again reuses it, and it stays loaded for the
// life of the process unless freeUnused() finds it idle.
class PluginLibrary
{
public:
    // The plug-in at the path (made absolute), loaded or reused; null with `error` and `text`
    // set when the file is missing, not loadable, lacks an entry point or has another ABI.
    [[nodiscard]] static std::shared_ptr<PluginLibrary>
    open(const std::string& path, ControlError& error, std::string& text);
    // Unloads every cached library that no one holds and whose plug-in says it may go;
    // returns how many went.
    static int freeUnused();

    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // The absolute path the library was loaded from.
    const std::string& path() const { return m_path; }
    // The plug-in's nvGetClassObject.
    NvGetClassObjectFn getClassObject() const { return m_getClassObject; }
    // The plug-in's nvRegisterServer.
    NvRegisterServerFn registerServer() const { return m_registerServer; }
    // The plug-in's nvUnregisterServer.
    NvRegisterServerFn unregisterServer() const { return m_unregisterServer; }
    // The plug-in's nvCanUnloadNow.
    NvCanUnloadNowFn canUnloadNow() const { return m_canUnloadNow; }

private:
    PluginLibrary(std::string path, void* handle);
    bool resolve(ControlError& error, std::string& text);

    std::string m_path;
    void* m_handle = nullptr;
    NvGetClassObjectFn m_getClassObject = nullptr;
    NvRegisterServerFn m_registerServer = nullptr;
    NvRegisterServerFn m_unregisterServer = nullptr;
    NvCanUnloadNowFn m_canUnloadNow = nullptr;
};
