// The kestrel plug-in's dialogs as widgets, on Qt's offscreen platform: the "Kestrel ActiveX
// Properties" dialog (device list and its pictures, its boxes, what it hands back), the about
// box and the property page that binds nothing.
#include "GuiTestTools.h"
#include "frame/gui/AboutDialog.h"
#include "frame/gui/ClipArt.h"
#include "gui/HelpTopics.h"
#include "gui/NumberSpinBox.h"
#include "kestrel/gui/KestrelPropertiesDialog.h"
#include "kestrel/gui/KestrelPropertyPage.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

namespace {

KestrelDialogRecord threeDevices()
{
    KestrelDialogRecord record;
    record.rows = {{0, "Modem on /dev/ttyS0", DeviceMark::Selected},
                   {1, "Unknown device", DeviceMark::Unavailable},
                   {2, "TAP terminal at 127.0.0.1:7000", DeviceMark::NotSelected}};
    record.promptTimeout = "6";
    record.readTimeout = "8";
    record.resends = "3";
    record.transChars = true;
    return record;
}

void clickRow(QTreeWidget* list, int row)
{
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

std::vector<DeviceMark> marksOf(const KestrelDialogRecord& record)
{
    std::vector<DeviceMark> marks;
    for (const KestrelDeviceRow& row : record.rows) {
        marks.push_back(row.mark);
    }
    return marks;
}

} // namespace

class KestrelDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void propertiesShowTheRecord();
    void aClickTogglesAvailableDevicesOnly();
    void theSpaceBarTogglesToo();
    void boxesHandBackTheirText();
    void okCancelAndHelp();
    void aboutBoxShowsCaptionIconAndText();
    void propertyPageBindsNothing();
};

void KestrelDialogsTest::propertiesShowTheRecord()
{
    KestrelPropertiesDialog dialog(threeDevices());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Kestrel ActiveX Properties"));
    auto* list = child<QTreeWidget>(&dialog, "deviceList");
    QVERIFY(list != nullptr);
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Modem on /dev/ttyS0"));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("Unknown device"));
    for (int row = 0; row < 3; ++row) {
        QVERIFY(!list->topLevelItem(row)->icon(0).isNull());
    }
    // The three pictures differ from one another.
    const QImage selected = list->topLevelItem(0)->icon(0).pixmap(14, 14).toImage();
    const QImage unavailable = list->topLevelItem(1)->icon(0).pixmap(14, 14).toImage();
    const QImage notSelected = list->topLevelItem(2)->icon(0).pixmap(14, 14).toImage();
    QVERIFY(selected != unavailable && selected != notSelected && unavailable != notSelected);

    const QString header = QStringLiteral("Name") + QString(58, QLatin1Char(' '));
    QCOMPARE(list->headerItem()->text(0), header);
    QCOMPARE(list->columnWidth(0), list->header()->fontMetrics().horizontalAdvance(header) + 15);

    QCOMPARE(child<QAbstractSpinBox>(&dialog, "promptBox")->text(), QStringLiteral("6"));
    QCOMPARE(child<QAbstractSpinBox>(&dialog, "readBox")->text(), QStringLiteral("8"));
    QCOMPARE(child<QAbstractSpinBox>(&dialog, "resendsBox")->text(), QStringLiteral("3"));
    auto* transChars = child<QCheckBox>(&dialog, "transCharsBox");
    QCOMPARE(transChars->text(), QStringLiteral("Support control characters"));
    QVERIFY(transChars->isChecked());

    // Nothing touched: the record comes back as it went in.
    const KestrelDialogRecord back = dialog.record();
    QCOMPARE(marksOf(back), marksOf(threeDevices()));
    QCOMPARE(back.rows[2].device, 2u);
    QCOMPARE(back.readTimeout, std::string("8"));
    QVERIFY(back.transChars);
}

void KestrelDialogsTest::aClickTogglesAvailableDevicesOnly()
{
    KestrelPropertiesDialog dialog(threeDevices());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* list = child<QTreeWidget>(&dialog, "deviceList");
    clickRow(list, 0);
    clickRow(list, 1);
    clickRow(list, 2);
    QCOMPARE(marksOf(dialog.record()),
             (std::vector<DeviceMark> {DeviceMark::NotSelected, DeviceMark::Unavailable,
                                       DeviceMark::Selected}));
    clickRow(list, 0);
    QCOMPARE(dialog.record().rows[0].mark, DeviceMark::Selected);
}

void KestrelDialogsTest::theSpaceBarTogglesToo()
{
    KestrelPropertiesDialog dialog(threeDevices());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* list = child<QTreeWidget>(&dialog, "deviceList");
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(2));
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(dialog.record().rows[2].mark, DeviceMark::Selected);
}

void KestrelDialogsTest::boxesHandBackTheirText()
{
    KestrelPropertiesDialog dialog(threeDevices());
    dialog.show();
    auto* prompt = child<NumberSpinBox>(&dialog, "promptBox");
    auto* resends = child<NumberSpinBox>(&dialog, "resendsBox");
    prompt->setText(QString());
    QTest::keyClicks(prompt, QStringLiteral("abc"));
    resends->setText(QString());
    QTest::keyClicks(resends, QString(130, QLatin1Char('7')));
    QTest::mouseClick(child<QCheckBox>(&dialog, "transCharsBox"), Qt::LeftButton);
    const KestrelDialogRecord back = dialog.record();
    QCOMPARE(back.promptTimeout, std::string("abc"));
    // A box holds 127 characters.
    QCOMPARE(back.resends, std::string(127, '7'));
    QVERIFY(!back.transChars);
}

void KestrelDialogsTest::okCancelAndHelp()
{
    {
        KestrelPropertiesDialog dialog(threeDevices());
        dialog.show();
        auto* help = child<QPushButton>(&dialog, "helpButton");
        QCOMPARE(help->text(), QStringLiteral("&Help"));
        // Help opens the dialog's topic and leaves the dialog as it was.
        std::uint32_t opened = 0;
        HelpTopics::setOpener(
            [&opened](QWidget*, std::uint32_t context, const QString&) { opened = context; });
        QTest::mouseClick(help, Qt::LeftButton);
        HelpTopics::setOpener({});
        QCOMPARE(opened, KestrelPropertiesDialog::helpContext);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
        auto* ok = child<QPushButton>(&dialog, "okButton");
        QCOMPARE(ok->text(), QStringLiteral("&OK"));
        QVERIFY(ok->isDefault());
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    KestrelPropertiesDialog dialog(threeDevices());
    dialog.show();
    auto* cancel = child<QPushButton>(&dialog, "cancelButton");
    QCOMPARE(cancel->text(), QStringLiteral("&Cancel"));
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void KestrelDialogsTest::aboutBoxShowsCaptionIconAndText()
{
    AboutDialog dialog(QStringLiteral("About Kestrel Control"),
                       ClipArt::controlIcon(ClipArt::Theme::ModemLine),
                       QStringLiteral("Kestrel Control, Version 1.0"));
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("About Kestrel Control"));
    QCOMPARE(child<QLabel>(&dialog, "textLabel")->text(),
             QStringLiteral("Kestrel Control, Version 1.0"));
    QVERIFY(!child<QLabel>(&dialog, "iconLabel")->pixmap().isNull());
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void KestrelDialogsTest::propertyPageBindsNothing()
{
    KestrelPropertyPage page;
    page.show();
    QCOMPARE(page.windowTitle(), QStringLiteral("General"));
    auto* list = child<QTreeWidget>(&page, "deviceList");
    QCOMPARE(list->topLevelItemCount(), 0);
    auto* transparent = child<QCheckBox>(&page, "transparentBox");
    auto* debug = child<QCheckBox>(&page, "debugBox");
    QCOMPARE(transparent->text(), QStringLiteral("Support transparent control characters"));
    QCOMPARE(debug->text(), QStringLiteral("Log debug messages"));
    QVERIFY(!transparent->isChecked() && !debug->isChecked());
    QTest::mouseClick(transparent, Qt::LeftButton);
    QTest::mouseClick(debug, Qt::LeftButton);
    QVERIFY(transparent->isChecked());
    QVERIFY(!page.isModified());
}

QTEST_MAIN(KestrelDialogsTest)
#include "KestrelDialogsTest.moc"
