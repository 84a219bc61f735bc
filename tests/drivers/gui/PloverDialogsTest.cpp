// The plover plug-in's dialogs as widgets, on Qt's offscreen platform: the "SNPP Driver
// Properties" dialog (the port box and its arrows, the disabled profile list, the check box,
// what it hands back) and the property page that binds nothing.
#include "GuiTestTools.h"
#include "gui/NumberSpinBox.h"
#include "plover/gui/PloverPropertiesDialog.h"
#include "plover/gui/PloverPropertyPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

PloverDialogRecord stored(const std::string& port, bool disconnect)
{
    PloverDialogRecord record;
    record.port = port;
    record.disconOnClose = disconnect;
    return record;
}

} // namespace

class PloverDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void showsTheRecord();
    void handsBackWhatTheBoxesHold();
    void arrowsStayWithinOneTo2048_data();
    void arrowsStayWithinOneTo2048();
    void okAndCancel();
    void propertyPageBindsNothing();
};

void PloverDialogsTest::showsTheRecord()
{
    PloverPropertiesDialog dialog(stored("444", true));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("SNPP Driver Properties"));
    auto* port = child<NumberSpinBox>(&dialog, "portBox");
    QCOMPARE(port->text(), QStringLiteral("444"));
    QCOMPARE(port->minimum(), 1);
    QCOMPARE(port->maximum(), 2048);
    auto* profiles = child<QComboBox>(&dialog, "profileList");
    QVERIFY(!profiles->isEnabled());
    QCOMPARE(profiles->count(), 0);
    auto* disconnect = child<QCheckBox>(&dialog, "disconnectBox");
    QCOMPARE(disconnect->text(), QStringLiteral("Disconnect after sending messages"));
    QVERIFY(disconnect->isChecked());
    QStringList texts;
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    for (const QLabel* label : labels) {
        texts.append(label->text());
    }
    QVERIFY(texts.contains(QStringLiteral("Default Port No.")));
    QVERIFY(texts.contains(QStringLiteral("Dialup network profile")));
    QCOMPARE(dialog.findChild<QGroupBox*>()->title(), QStringLiteral("Dialup Networking"));
}

void PloverDialogsTest::handsBackWhatTheBoxesHold()
{
    PloverPropertiesDialog dialog(stored("444", false));
    dialog.show();
    auto* port = child<NumberSpinBox>(&dialog, "portBox");
    port->setText(QString());
    QTest::keyClicks(port, QString(70, QLatin1Char('9')));
    QTest::mouseClick(child<QCheckBox>(&dialog, "disconnectBox"), Qt::LeftButton);
    const PloverDialogRecord back = dialog.record();
    // The box holds 63 characters.
    QCOMPARE(back.port, std::string(63, '9'));
    QVERIFY(back.disconOnClose);

    port->setText(QString());
    QCOMPARE(dialog.record().port, std::string());
}

void PloverDialogsTest::arrowsStayWithinOneTo2048_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("stepped");
    QTest::newRow("up from the default") << "444" << int(Qt::Key_Up) << "445";
    QTest::newRow("up at 2048") << "2048" << int(Qt::Key_Up) << "2048";
    QTest::newRow("down at 1") << "1" << int(Qt::Key_Down) << "1";
    QTest::newRow("up from an empty box") << "" << int(Qt::Key_Up) << "1";
    QTest::newRow("down from beyond the range") << "8000" << int(Qt::Key_Down) << "2048";
}

void PloverDialogsTest::arrowsStayWithinOneTo2048()
{
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(QString, stepped);
    PloverPropertiesDialog dialog(stored("444", false));
    dialog.show();
    auto* port = child<NumberSpinBox>(&dialog, "portBox");
    port->setText(text);
    QTest::keyClick(port, Qt::Key(key));
    QCOMPARE(port->text(), stepped);
}

void PloverDialogsTest::okAndCancel()
{
    {
        PloverPropertiesDialog dialog(stored("444", false));
        dialog.show();
        auto* ok = child<QPushButton>(&dialog, "okButton");
        QCOMPARE(ok->text(), QStringLiteral("&OK"));
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    PloverPropertiesDialog dialog(stored("444", false));
    dialog.show();
    auto* cancel = child<QPushButton>(&dialog, "cancelButton");
    QCOMPARE(cancel->text(), QStringLiteral("&Cancel"));
    QTest::mouseClick(cancel, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void PloverDialogsTest::propertyPageBindsNothing()
{
    PloverPropertyPage page;
    QCOMPARE(page.windowTitle(), QStringLiteral("General"));
    QVERIFY(child<QLabel>(&page, "pageText") != nullptr);
    QVERIFY(page.findChildren<QCheckBox*>().isEmpty());
    QVERIFY(page.findChildren<QAbstractSpinBox*>().isEmpty());
    QVERIFY(!page.isModified());
}

QTEST_MAIN(PloverDialogsTest)
#include "PloverDialogsTest.moc"
