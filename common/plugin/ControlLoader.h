#pragma once

#include "plugin/ControlError.h"
#include "plugin/DispatchClient.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class SettingsStore;

// What the host wishes of a new control instance.
struct ControlOptions
{
    // Show the control's progress window during a send (only where a GUI application runs).
    bool showProgress = false;
    // Opaque owner of the control's dialogs (the host's window), or null.
    void* parentWindow = nullptr;
    // Polled by a headless send, possibly from another thread of the control; true cancels.
    std::function<bool()> isCancelled;
};

// Creates controls by class identifier: finds the plug-in through the registration entries,
// loads it (once per process), checks its plug-in interface version and asks it for an
// instance. Also registers and unregisters a plug-in file through its own entry points.
// Failures are return values; lastError() and lastErrorText() say what failed on what.
class ControlLoader
{
public:
    // Looks classes up in the current user's settings store as it is named at each call.
    ControlLoader() = default;
    // Looks classes up in the given store.
    explicit ControlLoader(std::shared_ptr<SettingsStore> store);

    // A new instance of the registered class; an empty client on failure.
    [[nodiscard]] DispatchClient create(std::string_view classId,
                                        const ControlOptions& options = {});
    // As create(); when the class is not registered, the plug-in `pluginName` ("kestrel":
    // libkestrel.so) is looked for beside the running program (PluginLocator), registered
    // and logged. When none is found, the error text names the command that registers it.
    [[nodiscard]] DispatchClient createOrRegister(std::string_view classId,
                                                  std::string_view pluginName,
                                                  const ControlOptions& options = {});
    // A new instance of the class from the given plug-in file, bypassing the registration.
    [[nodiscard]] DispatchClient createFromFile(const std::string& libraryPath,
                                                std::string_view classId,
                                                const ControlOptions& options = {});
    // Loads the plug-in file and lets it write its registration entries (regsvr FILE).
    [[nodiscard]] bool registerServer(const std::string& libraryPath);
    // Loads the plug-in file and lets it remove its registration entries (regsvr -u FILE).
    [[nodiscard]] bool unregisterServer(const std::string& libraryPath);

    // The error of the latest operation (None after a success).
    ControlError lastError() const { return m_lastError; }
    // What the latest failing operation failed on and why.
    const std::string& lastErrorText() const { return m_lastErrorText; }

    // Unloads the plug-ins that hold no live object and are not in use; returns how many.
    static int freeUnusedLibraries();

private:
    bool fail(ControlError error, std::string text);
    bool runRegistration(const std::string& libraryPath, bool doRegister);

    std::shared_ptr<SettingsStore> m_store;
    ControlError m_lastError = ControlError::None;
    std::string m_lastErrorText;
};
