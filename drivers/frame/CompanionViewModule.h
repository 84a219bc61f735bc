#pragma once

#include "frame/ProgressView.h"

#include <memory>
#include <string>

// The seam between a Qt-free driver plug-in and its progress window. The window lives in a
// companion module beside the plug-in (libkestrel_gui.so beside libkestrel.so), built with
// the GUI toolkit; the plug-in loads it only when the host asked to see progress, so the
// same plug-in file serves the GUI program and the command-line program.
//
// The module exports, with C linkage,
//     ProgressView* nvCreateProgressView(int abiVersion, const ProgressViewSetup* setup);
// which returns a new view (deleted by the plug-in through its virtual destructor), or null
// when it cannot show one: no GUI application object in the process, or an abiVersion other
// than its own. Both sides are built from this project's headers with the same compiler.
namespace CompanionViewModule {

// Raised whenever ProgressView, ProgressViewSetup or a record that a dialog entry point takes
// (AboutBoxRequest, the drivers' settings records) change.
inline constexpr int abiVersion = 1;
// The name of the entry point.
inline constexpr const char* entryName = "nvCreateProgressView";
// The entry point's type.
using CreateFunction = ProgressView* (*)(int abiVersion, const ProgressViewSetup* setup);

// The path of the companion module `fileName` in the folder of the library at `libraryPath`.
std::string besideLibrary(const std::string& libraryPath, const std::string& fileName);

// The address of the module's exported entry point `name`, or null with `error` saying why
// (the module is missing or lacks the entry point). The module stays loaded.
void* entryPoint(const std::string& modulePath, const char* name, std::string& error);

// A view from the module at `modulePath`, or null with `error` saying why (the module is
// missing, lacks the entry point, or made no view). A module is loaded once per process and
// stays loaded: a GUI toolkit does not survive being unloaded.
[[nodiscard]] std::unique_ptr<ProgressView>
createView(const std::string& modulePath, const ProgressViewSetup& setup, std::string& error);

} // namespace CompanionViewModule

// The entry point as a companion module defines it (declared here so that its definition is
// checked against this signature and exported).
extern "C" __attribute__((visibility("default"))) ProgressView*
nvCreateProgressView(int abiVersion, const ProgressViewSetup* setup);
