#pragma once

#include "plugin/PluginAbi.h"

class SystemCalls;

// Fault injection into the plover test module (libplover_test.so, the shipped plug-in's objects
// plus this entry point). The module carries its own copy of the common library, so
// SystemCalls::install() in the process that loads it does not reach the calls it makes; this
// entry point installs an object for the module's copy (null restores the real calls). Only
// while no send runs.
//
// Host-name lookups the plug-in has abandoned may still run on helper threads with the calls
// they started with; the entry point first waits up to waitMs for them to end, and installs
// nothing (returning 0) when they do not. Returns 1 once installed.
extern "C" NV_PLUGIN_EXPORT int32_t nvInstallSystemCalls(SystemCalls* calls, int32_t waitMs);

// The entry point's name and type, for dlsym.
inline constexpr const char* installSystemCallsEntry = "nvInstallSystemCalls";
using InstallSystemCallsFunction = int32_t (*)(SystemCalls* calls, int32_t waitMs);
