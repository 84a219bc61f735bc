#include "PluginNetCalls.h"

#include "PloverSystemCalls.h"
#include "TestFailure.h"

#include <dlfcn.h>

PluginNetCalls::PluginNetCalls(const std::string& pluginPath)
{
    // The same file the loader opens, so the same loaded image.
    m_library = dlopen(pluginPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_library == nullptr) {
        testFailure("cannot load " + pluginPath + ": " + dlerror());
        return;
    }
    m_install
        = reinterpret_cast<InstallSystemCallsFunction>(dlsym(m_library, installSystemCallsEntry));
    if (m_install == nullptr) {
        testFailure(pluginPath + " has no entry point " + installSystemCallsEntry);
        return;
    }
    if (m_install(this, 10000) != 1) {
        testFailure("the plug-in did not take the fake calls");
    }
}

PluginNetCalls::~PluginNetCalls()
{
    releaseLookups();
    if (m_install != nullptr && m_install(nullptr, 10000) != 1) {
        testFailure("a lookup of the plug-in did not end");
    }
    if (m_library != nullptr) {
        dlclose(m_library);
    }
}
