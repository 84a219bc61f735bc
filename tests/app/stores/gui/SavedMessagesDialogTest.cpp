// "Saved Messages" over a real store file: what one, two or no selected rows show, deleting
// rows 1 and 3 of five, "Change" on three rows through "Schedule Message", "Clear", a record
// changed under its row, and a scheduler send through the fake driver plug-in that shows in
// the open dialog.
#include "stores/gui/SavedMessagesDialog.h"

#include "FakeDriverIds.h"
#include "FakeDriverRecord.h"
#include "FakeDriverScript.h"
#include "ManualClock.h"
#include "PrivateLog.h"
#include "TempDir.h"
#include "gui/MessageBox.h"
#include "qt/ModalWindows.h"
#include "sending/SchedulerSendAdapter.h"
#include "sending/Sender.h"
#include "stores/SavedMessageStore.h"
#include "stores/Scheduler.h"
#include "stores/gui/NumericEdit.h"
#include "stores/gui/ScheduleDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <ctime>
#include <memory>

using namespace std::chrono_literals;

class SavedMessagesDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void oneRowShowsItsMessageAndTwoShowNothing();
    void deletingRowsOneAndThreeOfFiveKeepsTheOthers();
    void changeOnThreeRowsSetsOneScheduleNeverSent();
    void aRecordRemovedWhileTheScheduleIsChosenLeavesTheOthersAlone();
    void clearShowsNotScheduledAndNever();
    void aRecordChangedUnderItsRowIsRefreshedAndTheUserTold();
    void aSchedulerSendShowsInTheOpenDialog();

private:
    // Five messages "m0" to "m4" and the dialog over them.
    void openOnFive(std::chrono::milliseconds interval
                    = SavedMessagesDialog::defaultRefreshInterval);
    void open(std::chrono::milliseconds interval);
    // Clicks the rows (Ctrl held after the first).
    void select(std::initializer_list<int> rows);
    QTreeWidget* list() const { return childOf<QTreeWidget>(m_dialog.get(), "messageList"); }
    QStringList rowNames() const;
    QString field(const char* name) const;
    void click(const char* button)
    {
        QTest::mouseClick(childOf<QPushButton>(m_dialog.get(), button), Qt::LeftButton);
    }
    std::string scheduleOf(int index) const
    {
        SavedMessage record;
        return m_store->getAt(index, record) ? record.schedule : "(none)";
    }

    std::unique_ptr<TempDir> m_dir;
    std::unique_ptr<SavedMessageStore> m_store;
    std::unique_ptr<SavedMessagesDialog> m_dialog;
};

void SavedMessagesDialogTest::init()
{
    m_dir = std::make_unique<TempDir>();
    m_store = std::make_unique<SavedMessageStore>(m_dir->file("canMsg.dat"));
}

void SavedMessagesDialogTest::cleanup()
{
    m_dialog.reset();
    m_store.reset();
    m_dir.reset();
}

void SavedMessagesDialogTest::openOnFive(std::chrono::milliseconds interval)
{
    for (int i = 0; i < 5; ++i) {
        const std::string n = std::to_string(i);
        QVERIFY(m_store->add("m" + n, "", "555123" + n + "/7", "text " + n));
    }
    open(interval);
}

void SavedMessagesDialogTest::open(std::chrono::milliseconds interval)
{
    m_dialog = std::make_unique<SavedMessagesDialog>(*m_store, nullptr, interval);
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void SavedMessagesDialogTest::select(std::initializer_list<int> rows)
{
    Qt::KeyboardModifiers modifiers;
    for (const int row : rows) {
        const QRect rect = list()->visualItemRect(list()->topLevelItem(row));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers, rect.center());
        modifiers = Qt::ControlModifier;
    }
}

QStringList SavedMessagesDialogTest::rowNames() const
{
    QStringList names;
    for (int row = 0; row < list()->topLevelItemCount(); ++row)
        names << list()->topLevelItem(row)->text(0);
    return names;
}

QString SavedMessagesDialogTest::field(const char* name) const
{
    if (QString(QLatin1String(name)) == QLatin1String("messageField"))
        return childOf<QPlainTextEdit>(m_dialog.get(), name)->toPlainText();
    if (QString(QLatin1String(name)) == QLatin1String("scheduleText"))
        return childOf<QLabel>(m_dialog.get(), name)->text();
    return childOf<QLineEdit>(m_dialog.get(), name)->text();
}

void SavedMessagesDialogTest::oneRowShowsItsMessageAndTwoShowNothing()
{
    openOnFive();
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Saved Messages"));
    QCOMPARE(list()->headerItem()->text(0), QStringLiteral("Name"));
    QCOMPARE(rowNames(), (QStringList {"m0", "m1", "m2", "m3", "m4"}));
    select({2});
    QCOMPARE(field("toField"), QStringLiteral("5551232/7"));
    QCOMPARE(field("messageField"), QStringLiteral("text 2"));
    QCOMPARE(field("scheduleText"), QStringLiteral("Not scheduled"));
    QCOMPARE(field("lastSentField"), QStringLiteral("Never"));

    select({2, 3});
    for (const char* name : {"toField", "messageField", "scheduleText", "lastSentField"})
        QCOMPARE(field(name), QString());
}

void SavedMessagesDialogTest::deletingRowsOneAndThreeOfFiveKeepsTheOthers()
{
    openOnFive();
    select({1, 3});
    click("deleteButton");
    QCOMPARE(rowNames(), (QStringList {"m0", "m2", "m4"}));
    SavedMessage record;
    QVERIFY(m_store->getAt(1, record));
    QCOMPARE(record, (SavedMessage {"m2", "-", "5551232/7", "text 2"}));
    QVERIFY(!m_store->getAt(3, record));
    QCOMPARE(list()->selectedItems().size(), 0);
}

void SavedMessagesDialogTest::aRecordRemovedWhileTheScheduleIsChosenLeavesTheOthersAlone()
{
    // The dialog looks at the file often; while the schedule is chosen another program removes
    // the record above the selected one. m2 moves to row 1, where m1 was: it keeps its schedule.
    openOnFive(std::chrono::milliseconds {20});
    select({1});
    onNextModal([this](QWidget* modal) {
        QVERIFY(m_store->removeAt(0));
        QTest::qWait(200);
        QTest::mouseClick(childOf<QPushButton>(modal, "okButton"), Qt::LeftButton);
    });
    MessageBox::answerNext(QMessageBox::Ok);
    click("changeButton");
    for (int row = 0; row < 4; ++row)
        QCOMPARE(scheduleOf(row), std::string("-"));
    QVERIFY(MessageBox::lastAnswered().has_value());
}

void SavedMessagesDialogTest::changeOnThreeRowsSetsOneScheduleNeverSent()
{
    openOnFive();
    QVERIFY(m_store->replaceAt(3, "O 000 04 07 10 30 001700000000", std::nullopt, std::nullopt));
    select({1, 3, 4});
    QString names;
    onNextModal([&names](QWidget* modal) {
        names = childOf<QLineEdit>(modal, "nameEdit")->text();
        clickBox(childOf<QRadioButton>(modal, "weeklyButton"));
        clickBox(childOf<QCheckBox>(modal, "wedBox"));
        auto* hour = childOf<NumericEdit>(modal, "hourEdit");
        hour->findChild<QLineEdit*>()->selectAll();
        QTest::keyClicks(hour, "7");
        clickBox(childOf<QRadioButton>(modal, "pmButton"));
        QTest::mouseClick(childOf<QPushButton>(modal, "okButton"), Qt::LeftButton);
    });
    click("changeButton");
    QCOMPARE(names, QStringLiteral("m1, m3, m4"));
    // The first selected record's schedule was never set: the dialog began at the current
    // day and minute, which the fields not touched keep.
    const Schedule written = Schedule::fromText(scheduleOf(1));
    QCOMPARE(written.type, ScheduleType::Weekly);
    QCOMPARE(written.weekdays, 0x08);
    QCOMPARE(written.hour, 19);
    QCOMPARE(written.lastSent, std::int64_t {0});
    for (const int row : {3, 4})
        QCOMPARE(scheduleOf(row), written.format());
    QCOMPARE(scheduleOf(0), std::string("-"));
    QCOMPARE(scheduleOf(2), std::string("-"));
    // The list is filled again with the three still selected: several rows show nothing.
    QCOMPARE(list()->selectedItems().size(), 3);
    QCOMPARE(field("scheduleText"), QString());

    // Cancel changes nothing.
    const std::string before = m_dir->read("canMsg.dat");
    onNextModal([](QWidget* modal) {
        QTest::mouseClick(childOf<QPushButton>(modal, "cancelButton"), Qt::LeftButton);
    });
    click("changeButton");
    QCOMPARE(m_dir->read("canMsg.dat"), before);
}

void SavedMessagesDialogTest::clearShowsNotScheduledAndNever()
{
    openOnFive();
    QVERIFY(m_store->replaceAt(2, "W 002 00 00 09 05 001700000000", std::nullopt, std::nullopt));
    select({2});
    QCOMPARE(field("scheduleText"), QStringLiteral("Every Monday at 9:05am"));
    QCOMPARE(field("lastSentField").size(), 24);
    click("clearButton");
    QCOMPARE(scheduleOf(2), std::string("- 000 00 00 00 00 000000000000"));
    QCOMPARE(field("scheduleText"), QStringLiteral("Not scheduled"));
    QCOMPARE(field("lastSentField"), QStringLiteral("Never"));
    QCOMPARE(scheduleOf(1), std::string("-"));
}

void SavedMessagesDialogTest::aRecordChangedUnderItsRowIsRefreshedAndTheUserTold()
{
    openOnFive();
    select({3});
    // Another program removes m0: row 3 now stands over m4.
    SavedMessageStore other(m_store->path());
    QVERIFY(other.removeAt(0));
    const std::string before = m_dir->read("canMsg.dat");
    MessageBox::answerNext(QMessageBox::Ok);
    click("clearButton");
    QCOMPARE(m_dir->read("canMsg.dat"), before);
    QVERIFY(MessageBox::lastAnswered().has_value());
    QVERIFY2(MessageBox::lastAnswered()->text.contains(QStringLiteral("\"m3\" was not cleared")),
             qPrintable(MessageBox::lastAnswered()->text));
    QCOMPARE(rowNames(), (QStringList {"m1", "m2", "m3", "m4"}));
    // The message keeps its selection where it now stands.
    QCOMPARE(field("toField"), QStringLiteral("5551233/7"));

    // Moved again: the timer's look finds the row over another record, shows the selected
    // message and fills the list again, with no question.
    QVERIFY(other.removeAt(0));
    m_dialog->refreshFromStore();
    QCOMPARE(rowNames(), (QStringList {"m2", "m3", "m4"}));
    QCOMPARE(list()->selectedItems().size(), 1);
    QCOMPARE(list()->selectedItems().front()->text(0), QStringLiteral("m3"));
    QCOMPARE(field("toField"), QStringLiteral("5551233/7"));
}

void SavedMessagesDialogTest::aSchedulerSendShowsInTheOpenDialog()
{
    // The program's own road: the scheduler thread, the one Sender, the driver plug-in (the
    // fake, registered under the IXO/TAP driver's class) loaded from its built file.
    PrivateLog log(6);
    const std::string recordFile = log.registry().dir().file("record.txt");
    FakeDriverScript script(recordFile);
    QVERIFY(FakeDriverScript::registerAs(FakeDriverIds::kestrelClass));
    Sender sender(nullptr, nullptr, nullptr);
    SchedulerSendAdapter road(sender);

    // Due every day at the clock's minute.
    ManualClock clock;
    const std::time_t start = std::chrono::system_clock::to_time_t(clock.now());
    std::tm local {};
    localtime_r(&start, &local);
    Schedule daily;
    daily.type = ScheduleType::Weekly;
    daily.weekdays = 0x7F;
    daily.hour = local.tm_hour;
    daily.minute = local.tm_min;
    QVERIFY(m_store->add("Disk alarm", daily.format(), "5551234/77", "Disk full"));

    // The dialog looks at the file every second instead of every five.
    open(1000ms);
    select({0});
    QCOMPARE(field("lastSentField"), QStringLiteral("Never"));

    Scheduler scheduler(*m_store, road, clock);
    QVERIFY(scheduler.start());
    QVERIFY(clock.waitForSleepers(1));
    clock.advance(Scheduler::defaultInterval);
    Schedule sent = daily;
    sent.lastSent = static_cast<std::int64_t>(start) + 5;
    QTRY_COMPARE_WITH_TIMEOUT(field("lastSentField"),
                              QString::fromStdString(sent.describeLastSent()), 6000);
    QCOMPARE(scheduleOf(0), sent.format());
    scheduler.requestStop();
    QVERIFY(scheduler.waitForEnd(10s));

    const FakeDriverRecord record(recordFile);
    QCOMPARE(record.transmissions().size(), std::size_t {1});
    QCOMPARE(record.transmissions()[0].messages.at(0).second, std::string("Disk full"));
}

QTEST_MAIN(SavedMessagesDialogTest)
#include "SavedMessagesDialogTest.moc"
