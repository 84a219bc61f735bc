// "Schedule Message": the 12-hour clock both ways, the numeric fields' rules as keys reach
// them, the Date's maximum per month, the fields each type enables, and a never-scheduled
// message opening as Once at the current time.
#include "stores/gui/ScheduleDialog.h"

#include "qt/ModalWindows.h"
#include "stores/gui/NumericEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <ctime>
#include <memory>

class ScheduleDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hoursSurviveOk_data();
    void hoursSurviveOk();
    void typedKeysFollowTheFieldRules();
    void theMonthSetsTheDateMaximum();
    void theTypeEnablesItsFields();
    void aNeverScheduledMessageOpensAsOnceNow();
    void runHandsTheScheduleBackOnlyOnOk();

private:
    static QLineEdit* editOf(NumericEdit* field) { return field->findChild<QLineEdit*>(); }
};

void ScheduleDialogTest::hoursSurviveOk_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("pm");
    QTest::newRow("midnight") << 0 << "12" << false;
    QTest::newRow("morning") << 9 << "09" << false;
    QTest::newRow("noon") << 12 << "12" << true;
    QTest::newRow("afternoon") << 13 << "01" << true;
    QTest::newRow("late") << 23 << "11" << true;
}

void ScheduleDialogTest::hoursSurviveOk()
{
    QFETCH(int, hour);
    QFETCH(QString, shown);
    QFETCH(bool, pm);
    Schedule schedule = Schedule::fromText("W 042 15 03 00 05 001700000000");
    schedule.hour = hour;
    ScheduleDialog dialog("Disk alarm", schedule);
    dialog.show();
    QCOMPARE(editOf(childOf<NumericEdit>(&dialog, "hourEdit"))->text(), shown);
    QCOMPARE(editOf(childOf<NumericEdit>(&dialog, "minuteEdit"))->text(), QStringLiteral("05"));
    QCOMPARE(childOf<QRadioButton>(&dialog, "pmButton")->isChecked(), pm);
    QCOMPARE(childOf<QRadioButton>(&dialog, "amButton")->isChecked(), !pm);
    QCOMPARE(childOf<QLineEdit>(&dialog, "nameEdit")->text(), QStringLiteral("Disk alarm"));

    QTest::mouseClick(childOf<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    Schedule expected = schedule;
    expected.lastSent = 0;
    QCOMPARE(QString::fromStdString(dialog.schedule().format()),
             QString::fromStdString(expected.format()));

    // Switching the half of the day moves the hour by twelve.
    ScheduleDialog again("Disk alarm", schedule);
    again.show();
    clickBox(childOf<QRadioButton>(&again, pm ? "amButton" : "pmButton"));
    QCOMPARE(again.schedule().hour, (hour + 12) % 24);
}

void ScheduleDialogTest::typedKeysFollowTheFieldRules()
{
    ScheduleDialog dialog("a", Schedule::fromText("O 000 04 07 09 30 000000000000"));
    dialog.show();
    auto* hour = childOf<NumericEdit>(&dialog, "hourEdit");
    QLineEdit* hourText = editOf(hour);
    hourText->selectAll();
    QTest::keyClicks(hour, "ab-+ ~");
    QCOMPARE(hourText->text(), QStringLiteral("09"));
    // A pasted letter is swallowed as well.
    hourText->selectAll();
    hourText->insert(QStringLiteral("1x"));
    QCOMPARE(hourText->text(), QStringLiteral("09"));
    QTest::keyClick(hour, Qt::Key_Backspace);
    QCOMPARE(hourText->text(), QString());
    QTest::keyClicks(hour, "0");
    QCOMPARE(hourText->text(), QStringLiteral("1")); // below the range: its bound
    QCOMPARE(hourText->selectedText(), QStringLiteral("1"));

    auto* minute = childOf<NumericEdit>(&dialog, "minuteEdit");
    QLineEdit* minuteText = editOf(minute);
    minuteText->selectAll();
    QTest::keyClicks(minute, "75");
    QCOMPARE(minuteText->text(), QStringLiteral("59"));
    QCOMPARE(minuteText->selectedText(), QStringLiteral("59"));
    // The arrow keys step within the range.
    QTest::keyClick(minute, Qt::Key_Up);
    QCOMPARE(minuteText->text(), QStringLiteral("59"));
    QTest::keyClick(minute, Qt::Key_Down);
    QCOMPARE(minuteText->text(), QStringLiteral("58"));

    const Schedule accepted = dialog.schedule();
    QCOMPARE(accepted.hour, 1);
    QCOMPARE(accepted.minute, 58);
}

void ScheduleDialogTest::theMonthSetsTheDateMaximum()
{
    ScheduleDialog dialog("a", Schedule::fromText("O 000 31 01 09 30 000000000000"));
    dialog.show();
    auto* month = childOf<QComboBox>(&dialog, "monthCombo");
    auto* date = childOf<NumericEdit>(&dialog, "dateEdit");
    QCOMPARE(month->count(), 12);
    QCOMPARE(month->itemText(0), QStringLiteral("January"));
    QCOMPARE(month->itemText(11), QStringLiteral("December"));
    QCOMPARE(editOf(date)->text(), QStringLiteral("31"));

    // Picked the way a user picks: the list's keys on the focused box.
    month->setFocus();
    QTest::keyClick(month, Qt::Key_Down);
    QCOMPARE(month->currentText(), QStringLiteral("February"));
    QCOMPARE(editOf(date)->text(), QStringLiteral("29"));
    QCOMPARE(date->maximum(), 29L);
    QTest::keyClick(month, Qt::Key_Down);
    QCOMPARE(date->maximum(), 31L);
    QCOMPARE(editOf(date)->text(), QStringLiteral("29"));
    editOf(date)->selectAll();
    QTest::keyClicks(date, "45");
    QCOMPARE(editOf(date)->text(), QStringLiteral("31"));
    const Schedule accepted = dialog.schedule();
    QCOMPARE(accepted.month, 3);
    QCOMPARE(accepted.day, 31);
}

void ScheduleDialogTest::theTypeEnablesItsFields()
{
    ScheduleDialog dialog("a", Schedule::fromText("M 000 31 02 09 30 000000000000"));
    dialog.show();
    auto* month = childOf<QComboBox>(&dialog, "monthCombo");
    auto* date = childOf<NumericEdit>(&dialog, "dateEdit");
    auto* monday = childOf<QCheckBox>(&dialog, "monBox");
    // Every Month: the Date (up to 31 whatever the month), no month, no weekdays.
    QVERIFY(childOf<QRadioButton>(&dialog, "monthlyButton")->isChecked());
    QCOMPARE(editOf(date)->text(), QStringLiteral("31"));
    QVERIFY(date->isEnabled() && !month->isEnabled() && !monday->isEnabled());

    clickBox(childOf<QRadioButton>(&dialog, "weeklyButton"));
    QVERIFY(!date->isEnabled() && !month->isEnabled() && monday->isEnabled());
    clickBox(monday);
    clickBox(childOf<QCheckBox>(&dialog, "friBox"));
    QCOMPARE(dialog.schedule().format(), std::string("W 034 29 02 09 30 000000000000"));

    // Once in February: the month's 29 days.
    auto* once = childOf<QRadioButton>(&dialog, "onceButton");
    clickBox(once);
    QVERIFY(childOf<QRadioButton>(&dialog, "onceButton")->isChecked());
    QVERIFY(date->isEnabled());
    QVERIFY(month->isEnabled());
    QVERIFY(!monday->isEnabled());
    QCOMPARE(editOf(date)->text(), QStringLiteral("29"));
}

void ScheduleDialogTest::aNeverScheduledMessageOpensAsOnceNow()
{
    const std::time_t now = 1720105627; // some July afternoon
    std::tm local {};
    localtime_r(&now, &local);
    ScheduleDialog dialog("never", Schedule::fromText("-"), nullptr, now);
    dialog.show();
    QVERIFY(childOf<QRadioButton>(&dialog, "onceButton")->isChecked());
    const Schedule opened = dialog.schedule();
    QCOMPARE(opened.type, ScheduleType::Once);
    QCOMPARE(opened.hour, local.tm_hour);
    QCOMPARE(opened.minute, local.tm_min);
    QCOMPARE(opened.month, local.tm_mon + 1);
    QCOMPARE(opened.day, local.tm_mday);
    QCOMPARE(opened.weekdays, 0);
    QCOMPARE(childOf<QComboBox>(&dialog, "monthCombo")->currentIndex(), local.tm_mon);
    QVERIFY(!childOf<QCheckBox>(&dialog, "sunBox")->isEnabled());
}

void ScheduleDialogTest::runHandsTheScheduleBackOnlyOnOk()
{
    const Schedule before = Schedule::fromText("W 002 15 03 09 05 001700000000");
    Schedule schedule = before;
    onNextModal([](QWidget* modal) {
        clickBox(childOf<QCheckBox>(modal, "satBox"));
        QTest::mouseClick(childOf<QPushButton>(modal, "cancelButton"), Qt::LeftButton);
    });
    QVERIFY(!ScheduleDialog::run(nullptr, "a", schedule));
    QCOMPARE(schedule, before);

    onNextModal([](QWidget* modal) {
        clickBox(childOf<QCheckBox>(modal, "satBox"));
        QTest::keyClick(modal, Qt::Key_Return);
    });
    QVERIFY(ScheduleDialog::run(nullptr, "a", schedule));
    QCOMPARE(QString::fromStdString(schedule.format()),
             QStringLiteral("W 066 15 03 09 05 000000000000"));
}

QTEST_MAIN(ScheduleDialogTest)
#include "ScheduleDialogTest.moc"
