#include "GuiPluginHost.h"

#include "GuiTestTools.h"

#include <QTest>
#include <QtGlobal>

#include <vector>

GuiPluginHost::GuiPluginHost(const std::string& pluginPath)
    : m_registered(m_loader.registerServer(pluginPath))
{ }

std::string GuiPluginHost::lastErrorText() const
{
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

bool GuiPluginHost::callOn(bool fromWorker, DispatchClient& control, std::int32_t dispId,
                           std::initializer_list<DispatchValue> args, std::int32_t* result)
{
    std::int32_t ignored = 0;
    std::int32_t& out = result != nullptr ? *result : ignored;
    if (!fromWorker) {
        return result != nullptr ? control.callInt(dispId, args, out)
                                 : control.callMethod(dispId, args);
    }
    bool called = false;
    const std::vector<DispatchValue> copied(args);
    const bool ended = onWorker([&] {
        DispatchValue value;
        called = control.invoke(dispId, CallKind::Method, copied, value) == DispatchStatus::Ok;
        if (std::holds_alternative<std::int32_t>(value)) {
            out = std::get<std::int32_t>(value);
        }
    });
    return ended && called;
}

void GuiPluginHost::addSendThreadRows()
{
    QTest::addColumn<bool>("fromWorker");
    QTest::addColumn<int>("modality");
    QTest::newRow("send on the GUI thread") << false << int(Qt::ApplicationModal);
    QTest::newRow("send from a worker thread") << true << int(Qt::NonModal);
}
