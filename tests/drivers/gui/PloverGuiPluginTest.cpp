// The plover plug-in in a QApplication host, on Qt's offscreen platform: loaded from its built
// file by class identifier and driven by dispatch number, with the host asking to see its
// windows. Its companion module shows the progress dialog of a send to the test SNPP server
// (the send called on the GUI thread and from a worker thread), the settings dialog, whose OK
// the plug-in stores, and the about box.
#include "GuiPluginHost.h"
#include "GuiTestTools.h"
#include "ModalDriver.h"
#include "SnppTestServer.h"
#include "plover/PloverIds.h"
#include "plover/PloverSettings.h"
#include "qt/ProgressWatcher.h"
#include "settings/SettingsKey.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace PloverIds;

namespace {

constexpr const char* pluginPath = NV_PLOVER_PLUGIN_PATH;
const QString settingsCaption = QStringLiteral("SNPP Driver Properties");

SettingsKey ploverKey()
{
    return SettingsKey(RootKey::CurrentUser, PloverKeys::key);
}

} // namespace

class PloverGuiPluginTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void sendShowsTheProgressDialog_data();
    void sendShowsTheProgressDialog();
    void settingsDialogShowsTheStoredValues();
    void okStoresThePortBox_data();
    void okStoresThePortBox();
    void cancelStoresNothing();
    void settingsDialogFromAWorkerThread();
    void aboutBox();

private:
    DispatchClient create();

    std::unique_ptr<GuiPluginHost> m_host;
    std::unique_ptr<SnppTestServer> m_server;
};

void PloverGuiPluginTest::init()
{
    m_host = std::make_unique<GuiPluginHost>(pluginPath);
    QVERIFY2(m_host->isValid(), m_host->lastErrorText().c_str());
    SettingsKey key = ploverKey();
    QVERIFY(key.setNumber("replyTimeoutMs", 2000));
    QVERIFY(key.setNumber("lookupTimeoutMs", 2000));
    QVERIFY(key.setNumber("statusPauseMs", 0));
    QVERIFY(key.setNumber("updateWaitMs", 2000));
    QVERIFY(key.setNumber("threadWaitMs", 10000));
    m_server = std::make_unique<SnppTestServer>();
    QVERIFY(m_server->start());
}

void PloverGuiPluginTest::cleanup()
{
    m_server.reset();
    m_host.reset();
}

DispatchClient PloverGuiPluginTest::create()
{
    return m_host->create(controlClass);
}

void PloverGuiPluginTest::sendShowsTheProgressDialog_data()
{
    GuiPluginHost::addSendThreadRows();
}

void PloverGuiPluginTest::sendShowsTheProgressDialog()
{
    QFETCH(bool, fromWorker);
    QFETCH(int, modality);
    DispatchClient control = create();
    QVERIFY(control.isValid());
    QVERIFY(control.setText(ProviderName, "Acme"));
    std::int32_t code = -1;
    QVERIFY(control.callInt(AddMessage, {std::string("1234"), std::string("HI")}, code));
    QVERIFY(control.callInt(AddMessage, {std::string("5678"), std::string("THERE")}, code));

    ProgressWatcher watcher(QStringLiteral("SNPP Paging"));
    std::int32_t result = -1;
    QVERIFY(GuiPluginHost::callOn(fromWorker, control, Send, {m_server->address()}, &result));
    QCOMPARE(result, 0);
    QTRY_COMPARE(watcher.hides, 1);
    QCOMPARE(watcher.shows, 1);
    QCOMPARE(watcher.caption, QStringLiteral("SNPP Paging (Acme)"));
    QCOMPARE(watcher.version, QString());
    QCOMPARE(watcher.modality, Qt::WindowModality(modality));
    QCOMPARE(watcher.maximum, 4);
    QCOMPARE(watcher.valueAtClose, 4);

    QVERIFY(m_server->waitForFinished(m_server->connections(), 5000));
    QCOMPARE(m_server->pages().size(), std::size_t(2));
    QVERIFY(control.callInt(GetMessageResultCode, {std::int16_t(1)}, code));
    QCOMPARE(code, 1);
    QCOMPARE(m_host->store().levelOf("Dialog init", "plover"), 10);
    QCOMPARE(m_host->store().levelOf("Dialog providername=SNPP Paging (Acme)", "plover"), 10);
    QVERIFY(!m_host->store().hasLineStarting("Progress window not shown", "plover"));
}

void PloverGuiPluginTest::settingsDialogShowsTheStoredValues()
{
    QVERIFY(ploverKey().setNumber("port", 3000));
    QVERIFY(ploverKey().setNumber("disconOnClose", 1));
    DispatchClient control = create();
    QString port;
    bool ticked = false;
    bool profilesEnabled = true;
    ModalDriver driver(settingsCaption, [&](QWidget* dialog) {
        port = child<QAbstractSpinBox>(dialog, "portBox")->text();
        ticked = child<QCheckBox>(dialog, "disconnectBox")->isChecked();
        profilesEnabled = child<QComboBox>(dialog, "profileList")->isEnabled();
        QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    });
    QVERIFY(control.callMethod(ShowProperties));
    QVERIFY(driver.acted());
    QCOMPARE(port, QStringLiteral("3000"));
    QVERIFY(ticked);
    QVERIFY(!profilesEnabled);
}

void PloverGuiPluginTest::okStoresThePortBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::newRow("a port") << "3000" << 3000;
    QTest::newRow("emptied") << "" << 444;
    QTest::newRow("not a number") << "snpp" << 444;
    QTest::newRow("zero") << "0" << 444;
}

void PloverGuiPluginTest::okStoresThePortBox()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QVERIFY(ploverKey().setNumber("port", 1));
    DispatchClient control = create();
    ModalDriver driver(settingsCaption, [&typed](QWidget* dialog) {
        auto* port = child<QAbstractSpinBox>(dialog, "portBox");
        port->clear();
        QTest::keyClicks(port, typed);
        QTest::mouseClick(child<QCheckBox>(dialog, "disconnectBox"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    });
    QVERIFY(control.callMethod(ShowProperties));
    QVERIFY(driver.acted());
    QCOMPARE(ploverKey().getNumber("port", -1), stored);
    QCOMPARE(ploverKey().getNumber("disconOnClose", -1), 1);
}

void PloverGuiPluginTest::cancelStoresNothing()
{
    DispatchClient control = create();
    ModalDriver driver(settingsCaption, [](QWidget* dialog) {
        auto* port = child<QAbstractSpinBox>(dialog, "portBox");
        QTest::keyClick(port, Qt::Key_Up);
        QTest::mouseClick(child<QCheckBox>(dialog, "disconnectBox"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    });
    QVERIFY(control.callMethod(ShowProperties));
    QVERIFY(driver.acted());
    QCOMPARE(ploverKey().getNumber("port", -1), -1);
    QCOMPARE(ploverKey().getNumber("disconOnClose", -1), -1);
}

void PloverGuiPluginTest::settingsDialogFromAWorkerThread()
{
    DispatchClient control = create();
    ModalDriver driver(settingsCaption, [](QWidget* dialog) {
        auto* port = child<QAbstractSpinBox>(dialog, "portBox");
        QTest::keyClick(port, Qt::Key_Up);
        QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    });
    QVERIFY(GuiPluginHost::callOn(true, control, ShowProperties));
    QVERIFY(driver.acted());
    QCOMPARE(ploverKey().getNumber("port", -1), 445);
}

void PloverGuiPluginTest::aboutBox()
{
    DispatchClient control = create();
    QString text;
    ModalDriver driver(QStringLiteral("About Plover Control"), [&text](QWidget* dialog) {
        text = child<QLabel>(dialog, "textLabel")->text();
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    QVERIFY(control.callMethod(AboutBox));
    QVERIFY(driver.acted());
    QCOMPARE(text, QStringLiteral("Plover Control, Version 1.0"));
    QCOMPARE(m_host->store().levelOf("Plover Control, Version 1.0", "plover"), -1);
}

QTEST_MAIN(PloverGuiPluginTest)
#include "PloverGuiPluginTest.moc"
