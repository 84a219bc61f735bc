#include "tutorial/Tutorial.h"

#include "ScopedRegistry.h"
#include "tutorial/TutorialCard.h"
#include "tutorial/WelcomeDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <functional>

class TutorialTest : public QObject
{
    Q_OBJECT

private:
    // Answers the welcome dialog when it comes up: ticks the box as asked and presses the
    // button; counts the dialogs seen.
    void answerWelcome(bool tick, const char* button)
    {
        QTimer::singleShot(0, this, [this, tick, button] {
            auto* dialog = qobject_cast<WelcomeDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                return;
            }
            ++m_welcomesSeen;
            dialog->findChild<QCheckBox*>(QStringLiteral("dontShowBox"))->setChecked(tick);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QLatin1String(button)),
                              Qt::LeftButton);
        });
    }

    void chooseOnCard(Tutorial& tutorial, int lesson)
    {
        auto* view = tutorial.card()->findChild<QTextBrowser*>(QStringLiteral("cardView"));
        Q_EMIT view->anchorClicked(QUrl(QStringLiteral("lesson:%1").arg(lesson)));
    }

    int m_welcomesSeen = 0;

private Q_SLOTS:
    void init() { m_welcomesSeen = 0; }

    // Ticking "Don't show this message in the future" and pressing "&No" suppresses the
    // welcome at the next start.
    void theWelcomeBoxSuppressesItAtTheNextStart()
    {
        ScopedRegistry registry;
        QWidget compose;
        {
            Tutorial tutorial(&compose);
            answerWelcome(true, "noButton");
            QVERIFY(tutorial.offerAtStartup());
            QCOMPARE(m_welcomesSeen, 1);
            QVERIFY(!tutorial.isRunning());
        }
        Tutorial nextStart(&compose);
        answerWelcome(false, "yesButton"); // would answer a dialog that must not come
        QVERIFY(!nextStart.offerAtStartup());
        QCoreApplication::processEvents();
        QCOMPARE(m_welcomesSeen, 1); // still only the first start's
        QVERIFY(!nextStart.isRunning());
    }

    void yesStartsTheGeneralCardAndAnUntickedBoxKeepsTheWelcome()
    {
        ScopedRegistry registry;
        QWidget compose;
        Tutorial tutorial(&compose);
        answerWelcome(false, "yesButton");
        QVERIFY(tutorial.offerAtStartup());
        QVERIFY(tutorial.isRunning());
        QCOMPARE(tutorial.currentCard(), QStringLiteral("HIDT_General"));
        QVERIFY(tutorial.card()->isVisible());
        QVERIFY(tutorial.card()->cardText().contains(QStringLiteral("Send a message")));
        answerWelcome(false, "noButton");
        QVERIFY(tutorial.offerAtStartup());
    }

    // Lesson 3, then "Select recipient from Address Book" shows HIDT_SA_STEP2; OK in the
    // address book shows HIDT_SA_STEP3.
    void lessonThreeFollowsTheAddressBook()
    {
        QWidget compose;
        Tutorial tutorial(&compose);
        tutorial.start();
        chooseOnCard(tutorial, 3);
        QCOMPARE(tutorial.currentCard(), QStringLiteral("HIDT_SA_STEP1"));
        tutorial.addressBookPressed();
        QCOMPARE(tutorial.currentCard(), QStringLiteral("HIDT_SA_STEP2"));
        QVERIFY(tutorial.card()->cardText().contains(QStringLiteral("Pick the names")));
        tutorial.addressBookAccepted();
        QCOMPARE(tutorial.currentCard(), QStringLiteral("HIDT_SA_STEP3"));
        QVERIFY(tutorial.card()->isVisible());
    }

    // A send during lesson 1 closes the card; a send during lesson 2 does not.
    void aSendDuringLessonOneClosesTheCard()
    {
        QWidget compose;
        Tutorial tutorial(&compose);
        tutorial.start();
        chooseOnCard(tutorial, 2);
        tutorial.sending();
        QVERIFY(tutorial.card()->isVisible());
        chooseOnCard(tutorial, 1);
        QCOMPARE(tutorial.currentCard(), QStringLiteral("HIDT_SM_STEP1"));
        tutorial.sending();
        QVERIFY(!tutorial.isRunning());
        QVERIFY(!tutorial.card()->isVisible());
    }

    void closingTheCardOrExitingEndsTheTutorial()
    {
        QWidget compose;
        Tutorial tutorial(&compose);
        tutorial.start();
        chooseOnCard(tutorial, 4);
        tutorial.messageStepped();
        QCOMPARE(tutorial.currentCard(), QStringLiteral("HIDT_RP_STEP2"));
        QVERIFY(tutorial.card()->cardText().contains(QStringLiteral("All lessons")));
        chooseOnCard(tutorial, 0);
        QCOMPARE(tutorial.currentCard(), QStringLiteral("HIDT_General"));
        chooseOnCard(tutorial, 4);
        QVERIFY(tutorial.card()->close());
        QVERIFY(!tutorial.isRunning());
        tutorial.messageStepped();
        QVERIFY(!tutorial.card()->isVisible());
        tutorial.start();
        QVERIFY(tutorial.card()->isVisible());
        tutorial.exiting();
        QVERIFY(!tutorial.card()->isVisible());
        QVERIFY(!tutorial.isRunning());
    }
};

QTEST_MAIN(TutorialTest)
#include "TutorialTest.moc"
