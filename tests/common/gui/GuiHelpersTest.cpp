// The Qt helpers the windows share, on Qt's offscreen platform: the box with arrows and the
// message box's test hook.
#include "gui/MessageBox.h"
#include "gui/NumberSpinBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class GuiHelpersTest : public QObject
{
    Q_OBJECT

private slots:
    void arrowsStepTheLeadingNumberWithinTheirRange_data();
    void arrowsStepTheLeadingNumberWithinTheirRange();
    void theBoxIsWideEnoughForItsLongestNumber();
    void theHookAnswersTheNextMessageBoxOnly();
};

void GuiHelpersTest::arrowsStepTheLeadingNumberWithinTheirRange_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("stepped");
    QTest::newRow("up") << "6" << int(Qt::Key_Up) << "7";
    QTest::newRow("down") << "6" << int(Qt::Key_Down) << "5";
    QTest::newRow("up from a number with text after it") << "12 s" << int(Qt::Key_Up) << "13";
    QTest::newRow("up from no number") << "abc" << int(Qt::Key_Up) << "1";
    QTest::newRow("up at the top of the range") << "99" << int(Qt::Key_Up) << "99";
    QTest::newRow("down at the bottom of the range") << "0" << int(Qt::Key_Down) << "0";
    QTest::newRow("up from above the range") << "500" << int(Qt::Key_Up) << "500";
    QTest::newRow("down from above the range") << "500" << int(Qt::Key_Down) << "99";
}

void GuiHelpersTest::arrowsStepTheLeadingNumberWithinTheirRange()
{
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(QString, stepped);
    NumberSpinBox box(0, 99, 127);
    box.setText(text);
    box.show();
    QTest::keyClick(&box, Qt::Key(key));
    QCOMPARE(box.text(), stepped);
}

void GuiHelpersTest::theBoxIsWideEnoughForItsLongestNumber()
{
    // A port box (up to 2048) showed its default 444 as "4": the box was sized as if empty.
    NumberSpinBox box(1, 2048, 5);
    box.setText(QStringLiteral("2048"));
    box.resize(box.sizeHint());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QLineEdit* edit = box.findChild<QLineEdit*>();
    QVERIFY(edit != nullptr);
    QVERIFY2(edit->width() >= edit->fontMetrics().horizontalAdvance(QStringLiteral("2048")),
             qPrintable(QStringLiteral("text room %1").arg(edit->width())));
}

void GuiHelpersTest::theHookAnswersTheNextMessageBoxOnly()
{
    // Presses "Yes" in every message box that is shown, counting them.
    int shown = 0;
    QString shownText;
    QTimer presser;
    connect(&presser, &QTimer::timeout, this, [&shown, &shownText] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++shown;
            shownText = box->text();
            box->button(QMessageBox::Yes)->click();
        }
    });
    presser.start(10);
    const QMessageBox::StandardButtons yesNo = QMessageBox::Yes | QMessageBox::No;

    MessageBox::answerNext(QMessageBox::No);
    QCOMPARE(MessageBox::show(nullptr, QMessageBox::Warning, QStringLiteral("Caption"),
                              QStringLiteral("first"), yesNo),
             QMessageBox::No);
    QCOMPARE(shown, 0);
    const std::optional<MessageBox::Request> answered = MessageBox::lastAnswered();
    QVERIFY(answered.has_value());
    QCOMPARE(answered->icon, QMessageBox::Warning);
    QCOMPARE(answered->caption, QStringLiteral("Caption"));
    QCOMPARE(answered->text, QStringLiteral("first"));
    QCOMPARE(answered->buttons, yesNo);

    // The hook is spent: the next box is shown and answers the button pressed in it.
    QCOMPARE(MessageBox::show(nullptr, QMessageBox::Warning, QStringLiteral("Caption"),
                              QStringLiteral("second"), yesNo),
             QMessageBox::Yes);
    QCOMPARE(shown, 1);
    QCOMPARE(shownText, QStringLiteral("second"));
    QCOMPARE(MessageBox::lastAnswered()->text, QStringLiteral("first"));
}

QTEST_MAIN(GuiHelpersTest)
#include "GuiHelpersTest.moc"
