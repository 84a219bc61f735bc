// The kestrel plug-in in a host that asks to see its windows but runs a core application only
// (no QApplication): the companion module shows nothing, the send goes on headless and the
// dialogs leave a log line, and nothing is stored.
#include "GuiPluginHost.h"
#include "KestrelTestSettings.h"
#include "TapTerminalSimulator.h"
#include "kestrel/KestrelIds.h"

#include <QTest>

using namespace KestrelIds;

namespace {

constexpr const char* pluginPath = NV_KESTREL_PLUGIN_PATH;

SettingsKey kestrelKey()
{
    return KestrelTestSettings::key();
}

} // namespace

class KestrelWithoutGuiTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void sendGoesOnWithoutAWindow();
    void dialogsLeaveALogLine();

private:
    DispatchClient create();

    std::unique_ptr<GuiPluginHost> m_host;
};

void KestrelWithoutGuiTest::init()
{
    m_host = std::make_unique<GuiPluginHost>(pluginPath);
    QVERIFY2(m_host->isValid(), m_host->lastErrorText().c_str());
    QVERIFY(KestrelTestSettings::shortTerminalWaits());
}

void KestrelWithoutGuiTest::cleanup()
{
    m_host.reset();
}

DispatchClient KestrelWithoutGuiTest::create()
{
    return m_host->create(controlClass);
}

void KestrelWithoutGuiTest::sendGoesOnWithoutAWindow()
{
    TapTerminalSimulator terminal;
    QVERIFY(terminal.listen());
    QVERIFY(KestrelTestSettings::tcpLine("0", "127.0.0.1", terminal.port()));
    DispatchClient control = create();
    QVERIFY(control.isValid());
    std::int32_t code = -1;
    QVERIFY(control.callInt(AddMessage, {std::string("1234"), std::string("HI")}, code));
    QVERIFY(control.callInt(Send, {std::string("5551234")}, code));
    QCOMPARE(code, 0);
    QVERIFY(control.callInt(GetMessageResultCode, {std::int16_t(0)}, code));
    QCOMPARE(code, 1);
    QVERIFY(
        m_host->store().hasLineStarting("Progress window not shown: the progress window module "));
    QCOMPARE(m_host->store().levelOf("Status: Disconnecting"), 9);
}

void KestrelWithoutGuiTest::dialogsLeaveALogLine()
{
    DispatchClient control = create();
    QVERIFY(control.callMethod(ShowProperties));
    QVERIFY(control.callMethod(AboutBox));
    QVERIFY(m_host->store().hasLineStarting("Settings dialog not shown: the GUI module "));
    QCOMPARE(m_host->store().levelOf("Kestrel Control, Version 1.0"), 5);
    QCOMPARE(kestrelKey().getNumber("maxSendPacket", -1), -1);
}

QTEST_GUILESS_MAIN(KestrelWithoutGuiTest)
#include "KestrelWithoutGuiTest.moc"
