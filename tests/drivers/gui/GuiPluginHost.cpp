#include "GuiPluginHost.h"

#include <QtGlobal>

GuiPluginHost::GuiPluginHost(const std::string& pluginPath)
{
    // Registering without a private store would write into the user's own.
    if (m_store.isValid()) {
        m_registered = m_loader.registerServer(pluginPath);
    }
}

std::string GuiPluginHost::lastError() const
{
    if (!m_store.isValid()) {
        return "cannot make the test's settings folder";
    }
    return m_loader.lastErrorText();
}

DispatchClient GuiPluginHost::create(std::string_view controlClass, bool showProgress)
{
    ControlOptions options;
    options.showProgress = showProgress;
    DispatchClient control = m_loader.create(controlClass, options);
    if (!control.isValid()) {
        qWarning("cannot create the control: %s", m_loader.lastErrorText().c_str());
    }
    return control;
}
