// The send's windows: the rows and pictures of "Send Results", the message dialog, the help
// topics they open and the desktop program's presenter.
#include "FakeDriverIds.h"
#include "FakeDriverScript.h"
#include "ScopedRegistry.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"
#include "sending/SendResults.h"
#include "sending/Sender.h"
#include "sending/Transmission.h"
#include "sending/gui/MessageDialog.h"
#include "sending/gui/QtSendPresenter.h"
#include "sending/gui/SendResultsDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <utility>
#include <vector>

namespace {

using Opened = std::pair<std::uint32_t, QString>;

// Records the help topics opened instead of showing them.
class OpenedTopics
{
public:
    OpenedTopics()
    {
        HelpTopics::setOpener([this](QWidget*, std::uint32_t context, const QString& key) {
            topics.emplace_back(context, key);
        });
    }
    ~OpenedTopics() { HelpTopics::setOpener({}); }
    OpenedTopics(const OpenedTopics&) = delete;
    OpenedTopics& operator=(const OpenedTopics&) = delete;

    std::vector<Opened> topics;
};

QImage rendered(const QIcon& icon)
{
    return icon.pixmap(QSize(14, 13)).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool hasInk(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                return true;
            }
        }
    }
    return false;
}

// Runs `check` on the next modal dialog as soon as it is up, then closes it.
template<typename Check>
void whenModalShown(QObject* context, Check check)
{
    auto* poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [poll, check] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            check(dialog);
            dialog->done(QDialog::Accepted);
        }
    });
    poll->start(5);
}

} // namespace

class SendWindowsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resultRowsShowTheirTextsAndPictures();
    void doubleClickOpensTheTopicOfTheRowsOutcome();
    void messageDialogShowsTheMessageAndOpensItsTopic_data();
    void messageDialogShowsTheMessageAndOpensItsTopic();
    void helpWithoutHelpPagesSaysWhichTopicWouldOpen();
    void presenterBusyCursorIsBalanced();
    void aSendShowsItsRowsThroughThePresenter();
};

void SendWindowsTest::resultRowsShowTheirTextsAndPictures()
{
    struct Expected
    {
        ResultStatus status;
        const char* recipient;
        const char* text;
        const char* picture; // resource path; null: no picture
    };
    const Expected expected[] = {
        {ResultStatus::ResultNotDeliverable, "Nobody", "Entry not found",
         ":/sending/icons/status-undeliverable.svg"},
        {ResultStatus::ResultSent, "MyPaging/42", "Sent successfully",
         ":/sending/icons/status-sent.svg"},
        {ResultStatus::ResultRejected, "pager.example!7", "Rejected by the remote server",
         ":/sending/icons/status-rejected.svg"},
        {ResultStatus::ResultFailed, "5551234/9", "Aborted due to transmission error",
         ":/sending/icons/status-failed.svg"},
        {ResultStatus::ResultDeleted, "5551234/10", "Deleted before transmission", nullptr},
    };
    SendResults results;
    for (const Expected& row : expected) {
        results.addRow(row.recipient, row.status, row.text, 0);
    }
    SendResultsDialog dialog(results.rows());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Send Results"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("captionLabel"))->text(),
             QStringLiteral("Transmission results:"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("tipLabel"))->text(),
             QStringLiteral("Tips: Double click on an item above for details"));
    auto* close = dialog.findChild<QPushButton*>(QStringLiteral("closeButton"));
    QCOMPARE(close->text(), QStringLiteral("&Close"));
    QVERIFY(close->isDefault());
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("helpButton"))->text(),
             QStringLiteral("&Help"));

    const QTreeWidget* list = dialog.findChild<QTreeWidget*>(QStringLiteral("resultsList"));
    QCOMPARE(list->headerItem()->text(0), QStringLiteral("Recipient"));
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("Result"));
    QCOMPARE(list->topLevelItemCount(), int(std::size(expected)));
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        const Expected& row = expected[i];
        QCOMPARE(item->text(0), QString::fromUtf8(row.recipient));
        QCOMPARE(item->text(1), QString::fromUtf8(row.text));
        const QImage picture = rendered(item->icon(0));
        if (row.picture == nullptr) {
            QVERIFY2(!hasInk(picture), row.recipient);
        } else {
            QVERIFY2(hasInk(picture), row.recipient);
            QVERIFY2(picture == rendered(QIcon(QString::fromUtf8(row.picture))), row.recipient);
        }
    }
    // The recipient column is not cut for these entries.
    QVERIFY(list->columnWidth(0)
            > list->fontMetrics().horizontalAdvance(QStringLiteral("pager.example!7")));
}

void SendWindowsTest::doubleClickOpensTheTopicOfTheRowsOutcome()
{
    OpenedTopics opened;
    SendResults results;
    results.addRow("MyPaging/42", ResultStatus::ResultSent, "Sent successfully", 0);
    results.addRow("MyPaging/x", ResultStatus::ResultNotDeliverable,
                   "Invalid Address: bad pin number (x)", 0x30091);
    SendResultsDialog dialog(results.rows());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTreeWidget* list = dialog.list();
    QWidget* viewport = list->viewport();
    const auto doubleClick = [&](int row) {
        const QPoint point = list->visualItemRect(list->topLevelItem(row)).center();
        // A double-click as the window system delivers it: a click, then the double-click.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, point);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, point);
    };

    doubleClick(1);
    QCOMPARE(opened.topics, (std::vector<Opened> {{0x30091U, QString()}}));
    // A driver outcome has no topic of its own.
    doubleClick(0);
    QCOMPARE(opened.topics.size(), std::size_t(1));
    // Without a selected row nothing opens.
    list->clearSelection();
    dialog.openSelectedRowHelp();
    QCOMPARE(opened.topics.size(), std::size_t(1));
    // "&Help" opens the dialog's own topic.
    dialog.findChild<QPushButton*>(QStringLiteral("helpButton"))->click();
    QCOMPARE(opened.topics.back().first, SendResultsDialog::helpContext);
}

void SendWindowsTest::messageDialogShowsTheMessageAndOpensItsTopic_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("topic");
    QTest::newRow("no valid address") << 102 << "HIDS_ERM_NOVALIDADDR"
                                      << "Error\nNo valid address specified" << 0x30066U;
    QTest::newRow("all sent") << 117 << "HIDS_MSG_ALLMSGSENT"
                              << "All messages sent successfully" << 0x30075U;
}

void SendWindowsTest::messageDialogShowsTheMessageAndOpensItsTopic()
{
    QFETCH(int, id);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(uint, topic);
    OpenedTopics opened;
    MessageDialog dialog(id, key, QStringLiteral("main"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Norvane Desk Error"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("messageLabel"))->text(), text);
    QVERIFY(!dialog.findChild<QLabel*>(QStringLiteral("pictureLabel"))->pixmap().isNull());
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    QCOMPARE(dialog.origin(), QStringLiteral("main"));

    dialog.findChild<QPushButton*>(QStringLiteral("helpButton"))->click();
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_F1);
    QCOMPARE(opened.topics, (std::vector<Opened> {{topic, key}, {topic, key}}));
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void SendWindowsTest::helpWithoutHelpPagesSaysWhichTopicWouldOpen()
{
    MessageBox::answerNext(QMessageBox::Ok);
    QVERIFY(HelpTopics::open(nullptr, 0x30066, QStringLiteral("HIDS_ERM_NOVALIDADDR")));
    const std::optional<MessageBox::Request> box = MessageBox::lastAnswered();
    QVERIFY(box.has_value());
    QVERIFY2(box->text.contains(QStringLiteral("0x30066")), qPrintable(box->text));
    QVERIFY2(box->text.contains(QStringLiteral("HIDS_ERM_NOVALIDADDR")), qPrintable(box->text));
    // Context 0 names no topic: no box (the hook would still be unspent and answer the next).
    QVERIFY(!HelpTopics::open(nullptr, 0));
}

void SendWindowsTest::presenterBusyCursorIsBalanced()
{
    const Transmission transmission;
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    {
        QtSendPresenter presenter;
        presenter.transmissionStarted(transmission);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
        presenter.transmissionStarted(transmission); // a second part of the same group
        presenter.transmissionEnded(transmission, 0);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);

        // A send whose end never came: the results (none here) take the cursor down.
        presenter.transmissionStarted(transmission);
        presenter.showResults(SendResults());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);

        presenter.transmissionStarted(transmission);
    }
    // Nor does a presenter that goes away leave its cursor behind.
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void SendWindowsTest::aSendShowsItsRowsThroughThePresenter()
{
    // A real send through the fake driver plug-in, loaded from its file: an entry that does
    // not resolve (no address book) and a page the driver acknowledges.
    const ScopedRegistry registry;
    const FakeDriverScript script(registry.dir().file("record.txt"));
    QVERIFY(FakeDriverScript::registerAs(FakeDriverIds::kestrelClass));
    Sender sender(nullptr, nullptr, nullptr);
    QWidget window;
    sender.setPresenter(std::make_shared<QtSendPresenter>(&window));

    QStringList shown;
    bool busyWhileShown = true;
    QWidget* shownOver = nullptr;
    whenModalShown(this, [&](QDialog* dialog) {
        busyWhileShown = QGuiApplication::overrideCursor() != nullptr;
        shownOver = dialog->parentWidget();
        if (auto* results = qobject_cast<SendResultsDialog*>(dialog)) {
            for (int i = 0; i < results->list()->topLevelItemCount(); ++i) {
                const QTreeWidgetItem* item = results->list()->topLevelItem(i);
                shown << item->text(0) + QLatin1Char('|') + item->text(1) + QLatin1Char('|')
                        + (hasInk(rendered(item->icon(0))) ? "icon" : "none");
            }
        }
    });
    QVERIFY(sender.sendToRecipients("Bobby Smith;5551234/9", "hello", true, false, "Local"));
    QCOMPARE(shown.size(), 2);
    QVERIFY2(shown[0].startsWith(QStringLiteral("Bobby Smith|")), qPrintable(shown[0]));
    QCOMPARE(shown[1], QStringLiteral("5551234/9|Sent successfully|icon"));
    QCOMPARE(shownOver, &window);
    QVERIFY(!busyWhileShown);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);

    // No entry resolves: message 102, through the dialog's hook.
    MessageDialog::skipNext();
    QVERIFY(sender.sendToRecipients("Bobby Smith", "hello", true, false, "Local"));
    const std::optional<MessageDialog::Request> message = MessageDialog::lastSkipped();
    QVERIFY(message.has_value());
    QCOMPARE(message->messageId, 102);
    QCOMPARE(message->helpKey, QStringLiteral("HIDS_ERM_NOVALIDADDR"));
    QCOMPARE(message->origin, QStringLiteral("main"));
    QCOMPARE(message->text, QStringLiteral("Error\nNo valid address specified"));
}

QTEST_MAIN(SendWindowsTest)
#include "SendWindowsTest.moc"
