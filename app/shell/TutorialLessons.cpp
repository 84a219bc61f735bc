#include "shell/TutorialLessons.h"

TutorialLessons::Step TutorialLessons::start()
{
    m_running = true;
    m_lesson = Lesson::None;
    return show(generalCard);
}

TutorialLessons::Step TutorialLessons::chooseLesson(int number)
{
    m_lesson = Lesson::None;
    if (m_running && number == 0) {
        return show(generalCard);
    }
    if (!m_running || number < 1 || number > 4) {
        return {};
    }
    m_lesson = static_cast<Lesson>(number);
    return show(firstCard(m_lesson));
}

TutorialLessons::Step TutorialLessons::addressBookPressed()
{
    return showIn(Lesson::SelectFromBook, "HIDT_SA_STEP2");
}

TutorialLessons::Step TutorialLessons::addressBookAccepted()
{
    return showIn(Lesson::SelectFromBook, "HIDT_SA_STEP3");
}

TutorialLessons::Step TutorialLessons::messageStepped()
{
    return showIn(Lesson::RepeatMessage, "HIDT_RP_STEP2");
}

TutorialLessons::Step TutorialLessons::sending()
{
    if (!m_running
        || (m_lesson != Lesson::SendMessage && m_lesson != Lesson::SelectFromBook
            && m_lesson != Lesson::RepeatMessage)) {
        return {};
    }
    return close();
}

TutorialLessons::Step TutorialLessons::close()
{
    // Every flag goes with the card: a lesson's later card never reopens a tutorial the
    // user has left.
    const bool wasRunning = m_running;
    m_running = false;
    m_lesson = Lesson::None;
    Step step;
    if (wasRunning) {
        step.action = Step::Action::Close;
    }
    return step;
}

std::string_view TutorialLessons::firstCard(Lesson lesson)
{
    switch (lesson) {
    case Lesson::SendMessage:
        return "HIDT_SM_STEP1";
    case Lesson::AddRecipient:
        return "HIDT_AU_STEP1";
    case Lesson::SelectFromBook:
        return "HIDT_SA_STEP1";
    case Lesson::RepeatMessage:
        return "HIDT_RP_STEP1";
    case Lesson::None:
        break;
    }
    return {};
}

TutorialLessons::Step TutorialLessons::show(std::string_view card)
{
    return {Step::Action::Show, std::string(card)};
}

TutorialLessons::Step TutorialLessons::showIn(Lesson lesson, std::string_view card)
{
    if (!m_running || m_lesson != lesson) {
        return {};
    }
    return show(card);
}
