#pragma once

#include <string>
#include <string_view>

// The tutorial's rules: whether the card is open, which lesson runs (the four lesson flags, at
// most one set) and which card a step of the user's work shows. Each operation answers what
// the card window does next. Qt-free; the card window and the compose window act on it.
class TutorialLessons
{
public:
    // The four lessons by the number the general card sends.
    enum class Lesson {
        None = 0,
        SendMessage = 1,
        AddRecipient = 2,
        SelectFromBook = 3,
        RepeatMessage = 4
    };
    // What the card window does after a step.
    struct Step
    {
        enum class Action { Nothing, Show, Close };
        Action action = Action::Nothing;
        std::string card; // the card's topic name for Show
    };

    // The general card that lists the lessons.
    static constexpr std::string_view generalCard = "HIDT_General";

    // Starts the tutorial ("&Yes" in the welcome dialog, "Tutorial..."): no lesson, the
    // general card.
    Step start();
    // The card sent a lesson number: every flag cleared, then for 1 to 4 that lesson's flag
    // set and its first card shown; 0 (a lesson card's "All lessons") shows the general card
    // again; other numbers leave no lesson running.
    Step chooseLesson(int number);
    // "Select recipient from Address Book" was pressed.
    Step addressBookPressed();
    // The address book selection was closed with OK.
    Step addressBookAccepted();
    // "Previous Message" or "Next Message" was pressed.
    Step messageStepped();
    // The compose window is about to send: lessons 1, 3 and 4 end with the tutorial.
    Step sending();
    // The user closed the card, or the program ends.
    Step close();

    // Whether the card window is open.
    bool isRunning() const { return m_running; }
    // The lesson running (None when no flag is set).
    Lesson lesson() const { return m_lesson; }

    // The first card of a lesson ("" for None).
    static std::string_view firstCard(Lesson lesson);

private:
    Step show(std::string_view card);
    Step showIn(Lesson lesson, std::string_view card);

    bool m_running = false;
    Lesson m_lesson = Lesson::None;
};
