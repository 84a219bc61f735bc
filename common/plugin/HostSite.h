#pragma once

#include "plugin/PluginAbi.h"

// The host's wishes for one control instance, as the plug-in side keeps them: read from the
// versioned NvHostSite (fields beyond its size keep their defaults).
class HostSite
{
public:
    // All defaults: headless, no parent window, never cancelled.
    HostSite() = default;
    // Copies what the host's site holds; a null site gives the defaults.
    explicit HostSite(const NvHostSite* site);

    // Whether the host asked for a visible send with a progress window.
    bool showProgress() const { return (m_flags & NV_SITE_SHOW_PROGRESS) != 0; }
    // The opaque owner for dialogs, or null.
    void* parentWindow() const { return m_parentWindow; }
    // Whether the host has asked to cancel the running operation; false without a callback.
    bool isCancelled() const;

private:
    unsigned m_flags = 0;
    void* m_parentWindow = nullptr;
    int (*m_isCancelled)(void*) = nullptr;
    void* m_cancelContext = nullptr;
};
