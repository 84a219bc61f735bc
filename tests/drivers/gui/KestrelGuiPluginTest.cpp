// The kestrel plug-in in a QApplication host, on Qt's offscreen platform: loaded from its built
// file by class identifier and driven by dispatch number, with the host asking to see its
// windows. Its companion module shows the progress dialog of a send to the simulated paging
// terminal over a TCP line (the send called on the GUI thread and from a worker thread), the
// settings dialog, whose OK the plug-in stores, and the about box.
#include "GuiPluginHost.h"
#include "GuiTestTools.h"
#include "KestrelTestSettings.h"
#include "ModalDriver.h"
#include "TapTerminalSimulator.h"
#include "gui/HelpTopics.h"
#include "kestrel/KestrelIds.h"
#include "qt/ProgressWatcher.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace KestrelIds;

namespace {

constexpr const char* pluginPath = NV_KESTREL_PLUGIN_PATH;
const QString progressCaption = QStringLiteral("IXO/TAP Paging");
const QString settingsCaption = QStringLiteral("Kestrel ActiveX Properties");

using KestrelTestSettings::modemListBytes;
using KestrelTestSettings::storedModemList;

SettingsKey kestrelKey()
{
    return KestrelTestSettings::key();
}

void tcpLine(const std::string& name, const std::string& host, int port)
{
    QVERIFY(KestrelTestSettings::tcpLine(name, host, port));
}

} // namespace

class KestrelGuiPluginTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void sendShowsTheProgressDialog_data();
    void sendShowsTheProgressDialog();
    void cancelInTheDialogAbortsTheSend();
    void settingsDialogOpensWithTheDialogDefaults();
    void deselectingOneOfThreeStoresTheOtherTwo();
    void storedTransCharsFiveShowsTickedAndIsWrittenBackAsOne();
    void cancelInTheSettingsDialogStoresNothing();
    void helpInTheSettingsDialogOpensItsTopicInTheProgram();
    void unavailableDeviceIsListedAndNeverSelected();
    void settingsDialogFromAWorkerThread();
    void aboutBox();
    void hostThatDidNotAskForWindowsGetsLogLines();

private:
    DispatchClient create(bool showProgress = true);
    void threeLines();

    std::unique_ptr<GuiPluginHost> m_host;
};

void KestrelGuiPluginTest::init()
{
    m_host = std::make_unique<GuiPluginHost>(pluginPath);
    QVERIFY2(m_host->isValid(), m_host->lastErrorText().c_str());
    QVERIFY(KestrelTestSettings::shortTerminalWaits());
    QVERIFY(KestrelTestSettings::shortFrameWaits());
}

void KestrelGuiPluginTest::cleanup()
{
    m_host.reset();
}

DispatchClient KestrelGuiPluginTest::create(bool showProgress)
{
    return m_host->create(controlClass, showProgress);
}

void KestrelGuiPluginTest::threeLines()
{
    tcpLine("0", "127.0.0.1", 7001);
    tcpLine("1", "127.0.0.1", 7002);
    tcpLine("2", "127.0.0.1", 7003);
}

void KestrelGuiPluginTest::sendShowsTheProgressDialog_data()
{
    GuiPluginHost::addSendThreadRows();
}

void KestrelGuiPluginTest::sendShowsTheProgressDialog()
{
    QFETCH(bool, fromWorker);
    QFETCH(int, modality);
    TapTerminalSimulator terminal;
    QVERIFY(terminal.listen());
    tcpLine("0", "127.0.0.1", terminal.port());
    DispatchClient control = create();
    QVERIFY(control.isValid());
    QVERIFY(control.setText(ProviderName, "Acme"));
    std::int32_t code = -1;
    QVERIFY(control.callInt(AddMessage, {std::string("1234"), std::string("HI")}, code));
    QVERIFY(control.callInt(AddMessage, {std::string("5678"), std::string("THERE")}, code));

    ProgressWatcher watcher(progressCaption);
    std::int32_t result = -1;
    QVERIFY(GuiPluginHost::callOn(fromWorker, control, Send, {std::string("5551234")}, &result));
    QCOMPARE(result, 0);
    QTRY_COMPARE(watcher.hides, 1);
    QCOMPARE(watcher.shows, 1);
    QCOMPARE(watcher.caption, QStringLiteral("IXO/TAP Paging (Acme)"));
    QCOMPARE(watcher.version, QStringLiteral("kestrel v1.0"));
    QCOMPARE(watcher.modality, Qt::WindowModality(modality));
    QCOMPARE(watcher.maximum, 4);
    QCOMPARE(watcher.valueAtClose, 4);
    QVERIFY(!watcher.values.isEmpty());
    QCOMPARE(watcher.values.last(), 4);
    QCOMPARE(watcher.statusAtClose, QStringLiteral("Disconnecting"));
    QVERIFY(watcher.cancelEnabledAtClose);

    QVERIFY(control.callInt(GetMessageResultCode, {std::int16_t(0)}, code));
    QCOMPARE(code, 1);
    QVERIFY(control.callInt(GetMessageResultCode, {std::int16_t(1)}, code));
    QCOMPARE(code, 1);
    QCOMPARE(terminal.messages().size(), std::size_t(2));
    QCOMPARE(m_host->store().levelOf("Progress dialog init"), 10);
    QCOMPARE(m_host->store().levelOf("Provider name=IXO/TAP Paging (Acme)"), 10);
    // The window went, and no headless view stood in for it.
    QVERIFY(!m_host->store().hasLineStarting("Progress window not shown"));
    QVERIFY(!m_host->store().hasLineStarting("Status: "));
}

void KestrelGuiPluginTest::cancelInTheDialogAbortsTheSend()
{
    TapTerminalScript script;
    script.promptAfterCr = -1;
    TapTerminalSimulator terminal(script);
    QVERIFY(terminal.listen());
    tcpLine("0", "127.0.0.1", terminal.port());
    QVERIFY(kestrelKey().setNumber("maxPromptTimeout", 10));
    DispatchClient control = create();
    std::int32_t code = -1;
    QVERIFY(control.callInt(AddMessage, {std::string("1"), std::string("a")}, code));

    // Cancel is pressed once the engine waits for the terminal's prompt.
    ProgressWatcher watcher(progressCaption);
    bool pressed = false;
    QTimer presser;
    presser.setInterval(10);
    connect(&presser, &QTimer::timeout, this, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (pressed || dialog == nullptr || !dialog->windowTitle().startsWith(progressCaption)
            || child<QLabel>(dialog, "statusText")->text()
                != QStringLiteral("Waiting for prompt...")) {
            return;
        }
        pressed = true;
        QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    });
    presser.start();
    std::int32_t result = -1;
    QVERIFY(control.callInt(Send, {std::string("5551234")}, result));
    presser.stop();
    QVERIFY(pressed);
    QCOMPARE(result, 213);
    QTRY_COMPARE(watcher.hides, 1);
    // "Aborting..." gave way to the engine's last state before the window closed.
    QCOMPARE(watcher.statusAtClose, QStringLiteral("Disconnecting"));
    QVERIFY(!watcher.cancelEnabledAtClose);
    QVERIFY(control.callInt(GetMessageResultCode, {std::int16_t(0)}, code));
    QCOMPARE(code, 5);
    QCOMPARE(m_host->store().levelOf("User clicked cancel button"), 9);
    QCOMPARE(m_host->store().levelOf("Send failed - Last Error bad (err=213)"), 8);
}

void KestrelGuiPluginTest::settingsDialogOpensWithTheDialogDefaults()
{
    threeLines();
    DispatchClient control = create();
    QStringList names;
    QList<int> marks;
    QString prompt;
    QString read;
    QString resends;
    bool ticked = true;
    ModalDriver driver(settingsCaption, [&](QWidget* dialog) {
        auto* list = child<QTreeWidget>(dialog, "deviceList");
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            names.append(list->topLevelItem(row)->text(0));
            marks.append(list->topLevelItem(row)->data(0, Qt::UserRole).toInt());
        }
        prompt = child<QAbstractSpinBox>(dialog, "promptBox")->text();
        read = child<QAbstractSpinBox>(dialog, "readBox")->text();
        resends = child<QAbstractSpinBox>(dialog, "resendsBox")->text();
        ticked = child<QCheckBox>(dialog, "transCharsBox")->isChecked();
        QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    });
    // The test's short prompt time-out goes, so that the dialog shows its own default.
    QVERIFY(kestrelKey().deleteValue("maxPromptTimeout"));
    QVERIFY(kestrelKey().deleteValue("maxReadTimeout"));
    QVERIFY(control.callMethod(ShowProperties));
    QVERIFY(driver.acted());
    QCOMPARE(names,
             (QStringList {QStringLiteral("TAP terminal at 127.0.0.1:7001"),
                           QStringLiteral("TAP terminal at 127.0.0.1:7002"),
                           QStringLiteral("TAP terminal at 127.0.0.1:7003")}));
    // No modemList: every device selected.
    QCOMPARE(marks, (QList<int> {1, 1, 1}));
    QCOMPARE(prompt, QStringLiteral("6"));
    QCOMPARE(read, QStringLiteral("6"));
    QCOMPARE(resends, QStringLiteral("3"));
    QVERIFY(!ticked);
    // OK with every device selected leaves modemList absent and stores the boxes.
    QCOMPARE(storedModemList(), std::string("absent"));
    QCOMPARE(kestrelKey().getNumber("maxPromptTimeout", -1), 6);
    QCOMPARE(kestrelKey().getNumber("maxReadTimeout", -1), 6);
    QCOMPARE(kestrelKey().getNumber("maxSendPacket", -1), 3);
    QCOMPARE(kestrelKey().getNumber("transChars", -1), 0);
}

void KestrelGuiPluginTest::deselectingOneOfThreeStoresTheOtherTwo()
{
    threeLines();
    DispatchClient control = create();
    ModalDriver driver(settingsCaption, [](QWidget* dialog) {
        auto* list = child<QTreeWidget>(dialog, "deviceList");
        const QRect row = list->visualItemRect(list->topLevelItem(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    });
    QVERIFY(control.callMethod(ShowProperties));
    QVERIFY(driver.acted());
    QCOMPARE(storedModemList(), modemListBytes({0, 2}));
}

void KestrelGuiPluginTest::storedTransCharsFiveShowsTickedAndIsWrittenBackAsOne()
{
    threeLines();
    QVERIFY(kestrelKey().setNumber("transChars", 5));
    DispatchClient control = create();
    bool ticked = false;
    ModalDriver driver(settingsCaption, [&ticked](QWidget* dialog) {
        ticked = child<QCheckBox>(dialog, "transCharsBox")->isChecked();
        QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    });
    QVERIFY(control.callMethod(ShowProperties));
    QVERIFY(driver.acted());
    QVERIFY(ticked);
    QCOMPARE(kestrelKey().getNumber("transChars", -1), 1);
}

void KestrelGuiPluginTest::cancelInTheSettingsDialogStoresNothing()
{
    threeLines();
    QVERIFY(kestrelKey().deleteValue("maxPromptTimeout"));
    DispatchClient control = create();
    ModalDriver driver(settingsCaption, [](QWidget* dialog) {
        auto* list = child<QTreeWidget>(dialog, "deviceList");
        const QRect row = list->visualItemRect(list->topLevelItem(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseClick(child<QCheckBox>(dialog, "transCharsBox"), Qt::LeftButton);
        auto* prompt = child<QAbstractSpinBox>(dialog, "promptBox");
        QTest::keyClick(prompt, Qt::Key_Up);
        QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    });
    QVERIFY(control.callMethod(ShowProperties));
    QVERIFY(driver.acted());
    QCOMPARE(storedModemList(), std::string("absent"));
    QCOMPARE(kestrelKey().getNumber("transChars", -1), -1);
    QCOMPARE(kestrelKey().getNumber("maxPromptTimeout", -1), -1);
    QCOMPARE(kestrelKey().getNumber("maxSendPacket", -1), -1);
}

void KestrelGuiPluginTest::helpInTheSettingsDialogOpensItsTopicInTheProgram()
{
    // The plug-in carries its own copy of the help helper; the program's opener reaches it.
    threeLines();
    std::uint32_t opened = 0;
    QString key;
    HelpTopics::setOpener([&](QWidget*, std::uint32_t context, const QString& topic) {
        opened = context;
        key = topic;
    });
    DispatchClient control = create();
    ModalDriver driver(settingsCaption, [](QWidget* dialog) {
        QTest::mouseClick(child<QPushButton>(dialog, "helpButton"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    });
    QVERIFY(control.callMethod(ShowProperties));
    HelpTopics::setOpener({});
    QVERIFY(driver.acted());
    QCOMPARE(opened, std::uint32_t {0x2F0C9});
    QCOMPARE(key, QStringLiteral("HIDD_KESTREL_PROPERTIES"));
}

void KestrelGuiPluginTest::unavailableDeviceIsListedAndNeverSelected()
{
    threeLines();
    // A TCP line without a host cannot be enumerated.
    tcpLine("3", "", 7004);
    DispatchClient control = create();
    QString name;
    int mark = -1;
    ModalDriver driver(settingsCaption, [&](QWidget* dialog) {
        auto* list = child<QTreeWidget>(dialog, "deviceList");
        QTreeWidgetItem* item = list->topLevelItem(3);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
        name = item->text(0);
        mark = item->data(0, Qt::UserRole).toInt();
        QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    });
    QVERIFY(control.callMethod(ShowProperties));
    QVERIFY(driver.acted());
    QCOMPARE(name, QStringLiteral("Unknown device"));
    QCOMPARE(mark, 2);
    // Not every row is selected, so the list is stored rather than deleted.
    QCOMPARE(storedModemList(), modemListBytes({0, 1, 2}));
}

void KestrelGuiPluginTest::settingsDialogFromAWorkerThread()
{
    threeLines();
    DispatchClient control = create();
    ModalDriver driver(settingsCaption, [](QWidget* dialog) {
        auto* resends = child<QAbstractSpinBox>(dialog, "resendsBox");
        resends->clear();
        QTest::keyClicks(resends, QStringLiteral("7"));
        QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    });
    QVERIFY(GuiPluginHost::callOn(true, control, ShowProperties));
    QVERIFY(driver.acted());
    QCOMPARE(kestrelKey().getNumber("maxSendPacket", -1), 7);
}

void KestrelGuiPluginTest::aboutBox()
{
    DispatchClient control = create();
    QString text;
    bool hasIcon = false;
    ModalDriver driver(QStringLiteral("About Kestrel Control"), [&](QWidget* dialog) {
        text = child<QLabel>(dialog, "textLabel")->text();
        hasIcon = !child<QLabel>(dialog, "iconLabel")->pixmap().isNull();
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    QVERIFY(control.callMethod(AboutBox));
    QVERIFY(driver.acted());
    QCOMPARE(text, QStringLiteral("Kestrel Control, Version 1.0"));
    QVERIFY(hasIcon);
    QCOMPARE(m_host->store().levelOf("Kestrel Control, Version 1.0"), -1);
}

void KestrelGuiPluginTest::hostThatDidNotAskForWindowsGetsLogLines()
{
    threeLines();
    DispatchClient control = create(false);
    ModalDriver driver(settingsCaption, [](QWidget* dialog) {
        QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    });
    QVERIFY(control.callMethod(ShowProperties));
    QVERIFY(control.callMethod(AboutBox));
    QTest::qWait(50);
    QVERIFY(!driver.acted());
    QCOMPARE(m_host->store().levelOf("Settings dialog not shown: no dialogs in this process"), 5);
    QCOMPARE(m_host->store().levelOf("Kestrel Control, Version 1.0"), 5);
    QCOMPARE(kestrelKey().getNumber("maxSendPacket", -1), -1);
}

QTEST_MAIN(KestrelGuiPluginTest)
#include "KestrelGuiPluginTest.moc"
