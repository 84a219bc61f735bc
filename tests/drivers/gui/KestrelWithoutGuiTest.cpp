// The kestrel plug-in in a host that asks to see its windows but runs a core application only
// (no QApplication): the companion module shows nothing, the send goes on headless and the
// dialogs leave a log line, and nothing is stored.
#include "GuiTestStore.h"
#include "KestrelIds.h"
#include "KestrelSettings.h"
#include "TapTerminalSimulator.h"
#include "line/LineSettings.h"
#include "plugin/ControlLoader.h"
#include "settings/SettingsKey.h"

#include <QTest>

using namespace KestrelIds;

namespace {

constexpr const char* pluginPath = NV_KESTREL_PLUGIN_PATH;

SettingsKey kestrelKey()
{
    return SettingsKey(RootKey::CurrentUser, KestrelSettings::key);
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

    std::unique_ptr<GuiTestStore> m_store;
    std::unique_ptr<ControlLoader> m_loader;
};

void KestrelWithoutGuiTest::init()
{
    m_store = std::make_unique<GuiTestStore>();
    QVERIFY(m_store->isValid());
    SettingsKey key = kestrelKey();
    QVERIFY(key.setNumber("maxPromptTimeout", 1));
    QVERIFY(key.setNumber("goAheadDelayMs", 10));
    m_loader = std::make_unique<ControlLoader>();
    QVERIFY2(m_loader->registerServer(pluginPath), m_loader->lastErrorText().c_str());
}

void KestrelWithoutGuiTest::cleanup()
{
    m_loader.reset();
    m_store.reset();
}

DispatchClient KestrelWithoutGuiTest::create()
{
    ControlOptions options;
    options.showProgress = true;
    return m_loader->create(controlClass, options);
}

void KestrelWithoutGuiTest::sendGoesOnWithoutAWindow()
{
    TapTerminalSimulator terminal;
    QVERIFY(terminal.listen());
    SettingsKey line(RootKey::CurrentUser, std::string(LineSettings::linesKey) + "\\0");
    QVERIFY(line.setString("type", "tcp"));
    QVERIFY(line.setString("host", "127.0.0.1"));
    QVERIFY(line.setNumber("port", terminal.port()));
    DispatchClient control = create();
    QVERIFY(control.isValid());
    std::int32_t code = -1;
    QVERIFY(control.callInt(AddMessage, {std::string("1234"), std::string("HI")}, code));
    QVERIFY(control.callInt(Send, {std::string("5551234")}, code));
    QCOMPARE(code, 0);
    QVERIFY(control.callInt(GetMessageResultCode, {std::int16_t(0)}, code));
    QCOMPARE(code, 1);
    QVERIFY(m_store->hasLineStarting("Progress window not shown: the progress window module "));
    QCOMPARE(m_store->levelOf("Status: Disconnecting"), 9);
}

void KestrelWithoutGuiTest::dialogsLeaveALogLine()
{
    DispatchClient control = create();
    QVERIFY(control.callMethod(ShowProperties));
    QVERIFY(control.callMethod(AboutBox));
    QVERIFY(m_store->hasLineStarting("Settings dialog not shown: the GUI module "));
    QCOMPARE(m_store->levelOf("Kestrel Control, Version 1.0"), 5);
    QCOMPARE(kestrelKey().getNumber("maxSendPacket", -1), -1);
}

QTEST_GUILESS_MAIN(KestrelWithoutGuiTest)
#include "KestrelWithoutGuiTest.moc"
