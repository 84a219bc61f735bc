// "View Log": its controls, the level filter and the order, purging, the text filter, copying
// rows, the selection kept across a refresh, and the progress of a large file.
#include "log/gui/LogViewerDialog.h"

#include "PrivateLog.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"
#include "log/gui/LogTableModel.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>

class LogViewerDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void opensWithItsControlsOnInformation();
    void showsTheChosenLevelsNewestFirst();
    void aLineWithoutATagEndsTheListing();
    void purgeThenRefreshShowsAnEmptyList();
    void filtersOnOriginAndMessage();
    void copiesTheSelectedRowsAsText();
    void keepsTheSelectionAndScrollAcrossARefresh();
    void readsALargeFileWithProgressWhileTheWindowRuns();
    void aRefreshOrAPurgeDuringAReadingWins();

private:
    template<typename T>
    T* child(const char* name) const
    {
        return childOf<T>(m_dialog.get(), name);
    }
    void writeLog(const std::string& text, bool append = false) const;
    // Opens the dialog and waits for its first filling.
    void open();
    // Clicks "&Refresh" and waits for the filling.
    void refresh();
    QString cell(int row, int column) const;
    int rows() const { return m_dialog->findChild<QTableView*>()->model()->rowCount(); }

    std::unique_ptr<PrivateLog> m_log;
    std::unique_ptr<LogViewerDialog> m_dialog;
};

void LogViewerDialogTest::initTestCase()
{
    // Summer time four hours behind UTC, written out so no zone files are needed.
    qputenv("TZ", "EST5EDT,M4.1.0,M10.5.0");
    tzset();
}

void LogViewerDialogTest::init()
{
    m_log = std::make_unique<PrivateLog>(4);
}

void LogViewerDialogTest::cleanup()
{
    m_dialog.reset();
    m_log.reset();
}

void LogViewerDialogTest::writeLog(const std::string& text, bool append) const
{
    std::ofstream out(m_log->logPath(),
                      append ? std::ios::app | std::ios::binary : std::ios::binary);
    out << text;
}

void LogViewerDialogTest::open()
{
    m_dialog = std::make_unique<LogViewerDialog>();
    QSignalSpy filled(m_dialog.get(), &LogViewerDialog::filled);
    m_dialog->show();
    QVERIFY(filled.wait(10000));
}

void LogViewerDialogTest::refresh()
{
    QSignalSpy filled(m_dialog.get(), &LogViewerDialog::filled);
    QTest::mouseClick(child<QPushButton>("refreshButton"), Qt::LeftButton);
    QVERIFY(filled.wait(10000));
}

QString LogViewerDialogTest::cell(int row, int column) const
{
    const QAbstractItemModel* model = m_dialog->findChild<QTableView*>()->model();
    return model->data(model->index(row, column)).toString();
}

void LogViewerDialogTest::opensWithItsControlsOnInformation()
{
    open();
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("View Log"));
    auto* table = child<QTableView>("logTable");
    QStringList headers;
    for (int column = 0; column < table->model()->columnCount(); ++column)
        headers << table->model()->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList {"Level", "Time", "Origin", "Message"}));
    auto* level = child<QComboBox>("levelCombo");
    QStringList items;
    for (int i = 0; i < level->count(); ++i)
        items << level->itemText(i);
    QCOMPARE(items,
             (QStringList {"Fatal Errors", "Errors", "Security", "Transactions", "Information",
                           "Debug", "Debug (1)", "Debug (2)", "Debug (3)", "Debug (4)", "Debug (5)",
                           "Debug (All)"}));
    QCOMPARE(level->currentText(), QStringLiteral("Information"));
    QCOMPARE(child<QPushButton>("purgeButton")->text(), QStringLiteral("&Purge"));
    QCOMPARE(child<QPushButton>("refreshButton")->text(), QStringLiteral("&Refresh"));
    QVERIFY(child<QPushButton>("refreshButton")->isDefault());
    QCOMPARE(child<QPushButton>("helpButton")->text(), QStringLiteral("&Help"));
    QCOMPARE(child<QPushButton>("closeButton")->text(), QStringLiteral("&Close"));
    // "&Help" opens the dialog's own topic.
    std::uint32_t openedContext = 0;
    QString openedKey;
    HelpTopics::setOpener([&](QWidget*, std::uint32_t context, const QString& key) {
        openedContext = context;
        openedKey = key;
    });
    QTest::mouseClick(child<QPushButton>("helpButton"), Qt::LeftButton);
    HelpTopics::setOpener({});
    QCOMPARE(openedContext, LogViewerDialog::helpContext);
    QCOMPARE(openedKey, QStringLiteral("HIDD_LOGVIEWER"));
    // No log file yet: an empty list and no message.
    QCOMPARE(rows(), 0);
    QVERIFY(!MessageBox::lastAnswered());
    QTest::mouseClick(child<QPushButton>("closeButton"), Qt::LeftButton);
    QVERIFY(!m_dialog->isVisible());
}

void LogViewerDialogTest::showsTheChosenLevelsNewestFirst()
{
    // 14:05 on 3 July 1998 in that zone is 899489100.
    writeLog("1,899400000,Local:fatal one\r\n4,899489100,SNPP:transaction\r\n"
             "6,899500000,plover:debug line\r\n");
    open();
    QCOMPARE(rows(), 2);
    QCOMPARE(cell(0, 0), QStringLiteral("Trans"));
    QCOMPARE(cell(0, 1), QStringLiteral("14:05 07/03/1998"));
    QCOMPARE(cell(0, 2), QStringLiteral("SNPP"));
    QCOMPARE(cell(0, 3), QStringLiteral("transaction"));
    QCOMPARE(cell(1, 0), QStringLiteral("Fatal"));
    QCOMPARE(cell(1, 3), QStringLiteral("fatal one"));

    // A change of level fills the list again from the file.
    writeLog("2,899600000,Local:written since\r\n", true);
    QSignalSpy filled(m_dialog.get(), &LogViewerDialog::filled);
    child<QComboBox>("levelCombo")->setCurrentIndex(5); // "Debug"
    QVERIFY(filled.wait(10000));
    QCOMPARE(rows(), 4);
    QCOMPARE(cell(0, 3), QStringLiteral("written since"));
    QCOMPARE(cell(1, 3), QStringLiteral("debug line"));
    QCOMPARE(cell(1, 0), QStringLiteral("Debug"));
}

void LogViewerDialogTest::aLineWithoutATagEndsTheListing()
{
    writeLog("1,10,A:one\r\n2,20,B:two\r\nno tag here\r\n3,30,C:three\r\n");
    open();
    QCOMPARE(rows(), 2);
    QCOMPARE(cell(0, 3), QStringLiteral("two"));
    QVERIFY(child<QLabel>("statusLabel")->text().contains(QStringLiteral("line 3")));
}

void LogViewerDialogTest::purgeThenRefreshShowsAnEmptyList()
{
    writeLog("1,10,A:one\r\n2,20,B:two\r\n");
    open();
    QCOMPARE(rows(), 2);
    MessageBox::answerNext(QMessageBox::Ok);
    QTest::mouseClick(child<QPushButton>("purgeButton"), Qt::LeftButton);
    QVERIFY(MessageBox::lastAnswered());
    QCOMPARE(MessageBox::lastAnswered()->caption, QStringLiteral("Purge Message Log"));
    QCOMPARE(MessageBox::lastAnswered()->text, QStringLiteral("All logged messaged deleted."));
    QCOMPARE(rows(), 0);
    QVERIFY(!std::ifstream(m_log->logPath()).good());
    refresh();
    QCOMPARE(rows(), 0);

    // Purging a log that is not there still says so.
    MessageBox::answerNext(QMessageBox::Ok);
    QTest::mouseClick(child<QPushButton>("purgeButton"), Qt::LeftButton);
    QCOMPARE(MessageBox::lastAnswered()->text, QStringLiteral("All logged messaged deleted."));
}

void LogViewerDialogTest::filtersOnOriginAndMessage()
{
    writeLog("5,10,SNPP:Connection accepted\r\n5,11,Local:Sent to Alice\r\n"
             "5,12,Sch(alice):weekly\r\n5,13,plover:Write=6\r\n");
    open();
    auto* filter = child<QLineEdit>("filterEdit");
    QTest::keyClicks(filter, QStringLiteral("ALICE"));
    QCOMPARE(rows(), 2);
    QCOMPARE(cell(0, 3), QStringLiteral("weekly"));
    QCOMPARE(cell(1, 3), QStringLiteral("Sent to Alice"));
    // The filter holds across a refresh.
    writeLog("5,14,Local:alice again\r\n", true);
    refresh();
    QCOMPARE(rows(), 3);
    filter->clear();
    QCOMPARE(rows(), 5);
}

void LogViewerDialogTest::copiesTheSelectedRowsAsText()
{
    writeLog("1,899489100,Local:first\r\n2,899489100,SNPP:second\r\n3,899489100,plover:third\r\n");
    open();
    auto* table = child<QTableView>("logTable");
    table->setFocus();
    table->selectionModel()->select(table->model()->index(0, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table->selectionModel()->select(table->model()->index(2, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QApplication::clipboard()->clear();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    const QString expected = QStringLiteral("Security\t14:05 07/03/1998\tplover\tthird\n"
                                            "Fatal\t14:05 07/03/1998\tLocal\tfirst\n");
    QCOMPARE(QApplication::clipboard()->text(), expected);

    // The context menu offers the same.
    QApplication::clipboard()->clear();
    QAction* copy = nullptr;
    for (QAction* action : table->actions())
        if (action->objectName() == QLatin1String("copyAction"))
            copy = action;
    QVERIFY(copy);
    QCOMPARE(table->contextMenuPolicy(), Qt::ActionsContextMenu);
    copy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), expected);
}

void LogViewerDialogTest::keepsTheSelectionAndScrollAcrossARefresh()
{
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "4,1000,Local:entry " + std::to_string(i) + "\r\n";
    writeLog(text);
    open();
    auto* table = child<QTableView>("logTable");
    // Rows 50 and 51 are entries 249 and 248; row 40 (entry 259) at the top.
    table->selectionModel()->select(
        QItemSelection(table->model()->index(50, 0), table->model()->index(51, 3)),
        QItemSelectionModel::ClearAndSelect);
    table->selectionModel()->setCurrentIndex(table->model()->index(51, 3),
                                             QItemSelectionModel::NoUpdate);
    table->scrollTo(table->model()->index(40, 0), QAbstractItemView::PositionAtTop);
    QCOMPARE(cell(table->rowAt(0), 3), QStringLiteral("entry 259"));

    std::string more;
    for (int i = 300; i < 310; ++i)
        more += "4,1000,Local:entry " + std::to_string(i) + "\r\n";
    writeLog(more, true);
    refresh();
    QCOMPARE(rows(), 310);
    QModelIndexList selected = table->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end());
    QCOMPARE(selected.size(), 2);
    QCOMPARE(cell(selected[0].row(), 3), QStringLiteral("entry 249"));
    QCOMPARE(cell(selected[1].row(), 3), QStringLiteral("entry 248"));
    QCOMPARE(table->selectionModel()->currentIndex().row(), 61);
    QCOMPARE(table->selectionModel()->currentIndex().column(), 3);
    QCOMPARE(cell(table->rowAt(0), 3), QStringLiteral("entry 259"));

    // At the top the list shows the newest entries, new ones included.
    table->scrollToTop();
    writeLog("4,1000,Local:newest\r\n", true);
    refresh();
    QCOMPARE(cell(table->rowAt(0), 3), QStringLiteral("newest"));

    // A log purged and written anew is a different file: nothing is kept.
    std::remove(m_log->logPath().c_str());
    writeLog(text);
    refresh();
    QVERIFY(table->selectionModel()->selectedRows().isEmpty());
}

void LogViewerDialogTest::readsALargeFileWithProgressWhileTheWindowRuns()
{
    std::string text;
    const std::string tail(60, 'x');
    for (int i = 0; text.size() < 3 * LogViewerDialog::progressThreshold; ++i)
        text
            += std::to_string(1 + i % 12) + ",899489100,Local:" + tail + std::to_string(i) + "\r\n";
    writeLog(text);
    m_dialog = std::make_unique<LogViewerDialog>();
    auto* progress = child<QProgressBar>("progressBar");
    QList<int> shownValues;
    int ticks = 0;
    connect(progress, &QProgressBar::valueChanged, this, [&](int value) {
        if (progress->isVisible())
            shownValues << value;
    });
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(0);
    QSignalSpy filled(m_dialog.get(), &LogViewerDialog::filled);
    m_dialog->show();
    QVERIFY(filled.wait(20000));
    QVERIFY2(!shownValues.isEmpty(), "no progress shown");
    QCOMPARE(shownValues.last(), 100);
    QVERIFY(!progress->isVisible());
    // The GUI thread served its events while the file was read.
    QVERIFY(ticks > 0);
    QVERIFY(rows() > 1000);
}

void LogViewerDialogTest::aRefreshOrAPurgeDuringAReadingWins()
{
    std::string text;
    for (int i = 0; text.size() < 3 * LogViewerDialog::progressThreshold; ++i)
        text += "4,899489100,Local:line " + std::to_string(i) + "\r\n";
    writeLog(text);
    m_dialog = std::make_unique<LogViewerDialog>();
    QSignalSpy filled(m_dialog.get(), &LogViewerDialog::filled);
    // Lines written after the first reading began are listed by the refresh that follows it.
    writeLog("4,899489100,Local:the last line\r\n", true);
    m_dialog->refresh();
    m_dialog->refresh();
    QVERIFY(filled.wait(20000));
    QCOMPARE(filled.size(), 1);
    QCOMPARE(cell(0, 3), QStringLiteral("the last line"));

    // A reading under way when the log is purged shows nothing when it ends.
    m_dialog->refresh();
    QVERIFY(m_dialog->isLoading());
    MessageBox::answerNext(QMessageBox::Ok);
    m_dialog->purge();
    QCOMPARE(rows(), 0);
    QTRY_VERIFY(!m_dialog->isLoading());
    QCOMPARE(rows(), 0);
    refresh();
    QCOMPARE(rows(), 0);

    // A dialog closed during a reading waits for its worker; what the worker queued for it
    // finds no dialog.
    writeLog(text);
    m_dialog->refresh();
    QVERIFY(m_dialog->isLoading());
    m_dialog.reset();
    QCoreApplication::processEvents();
}

QTEST_MAIN(LogViewerDialogTest)
#include "LogViewerDialogTest.moc"
#include "qt/ModalWindows.h"
