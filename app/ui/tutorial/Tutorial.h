#pragma once

#include "shell/TutorialLessons.h"
#include "tutorial/TutorialCard.h"

#include <QObject>
#include <QPointer>

class QWidget;

// The tutorial as the compose window drives it: it offers the tutorial at start, starts it
// ("Tutorial..."), and is told of each step of the user's work; it shows, moves on and closes
// the training card by the lessons' rules. GUI thread.
class Tutorial : public QObject
{
    Q_OBJECT

public:
    // The tutorial of the compose window `owner` (the card is placed beside it).
    explicit Tutorial(QWidget* owner);
    ~Tutorial() override;

    // Offers the tutorial with the welcome dialog unless `dontShowGreeting` is set; "&Yes"
    // starts it. Answers whether the dialog was shown.
    bool offerAtStartup();
    // "Tutorial...": the general card with the four lessons.
    void start();
    // The card sent a lesson number (the general card's links do).
    void chooseLesson(int number);
    // "Select recipient from Address Book" was pressed.
    void addressBookPressed();
    // The address book's selection was closed with OK.
    void addressBookAccepted();
    // "Previous Message" or "Next Message" was pressed.
    void messageStepped();
    // The compose window is about to send.
    void sending();
    // The program ends.
    void exiting();

    // Whether the card is open.
    bool isRunning() const { return m_lessons.isRunning(); }
    // The card shown ("" when closed).
    QString currentCard() const;
    // The card window (null before the first card).
    TutorialCard* card() const { return m_card; }

private:
    void apply(const TutorialLessons::Step& step);

    QPointer<QWidget> m_owner;
    QPointer<TutorialCard> m_card;
    TutorialLessons m_lessons;
};
