#include "tutorial/Tutorial.h"

#include "gui/MessageBox.h"
#include "shell/GreetingChoice.h"
#include "tutorial/TutorialCard.h"
#include "tutorial/WelcomeDialog.h"

Tutorial::Tutorial(QWidget* owner)
    : QObject(owner)
    , m_owner(owner)
{ }

Tutorial::~Tutorial()
{
    delete m_card.data();
}

bool Tutorial::offerAtStartup()
{
    if (!GreetingChoice::shouldOffer()) {
        return false;
    }
    WelcomeDialog dialog(m_owner.data());
    const bool yes = dialog.exec() == QDialog::Accepted;
    if (!GreetingChoice::remember(dialog.dontShowAgain())) {
        (void)MessageBox::show(m_owner.data(), QMessageBox::Warning, QStringLiteral("Norvane Desk"),
                               QStringLiteral("Your choice not to see the welcome message again "
                                              "could not be saved in the settings; it will be "
                                              "shown at the next start."));
    }
    if (yes) {
        start();
    }
    return true;
}

void Tutorial::start()
{
    apply(m_lessons.start());
}

void Tutorial::chooseLesson(int number)
{
    apply(m_lessons.chooseLesson(number));
}

void Tutorial::addressBookPressed()
{
    apply(m_lessons.addressBookPressed());
}

void Tutorial::addressBookAccepted()
{
    apply(m_lessons.addressBookAccepted());
}

void Tutorial::messageStepped()
{
    apply(m_lessons.messageStepped());
}

void Tutorial::sending()
{
    apply(m_lessons.sending());
}

void Tutorial::exiting()
{
    apply(m_lessons.close());
}

QString Tutorial::currentCard() const
{
    return isRunning() && m_card ? m_card->card() : QString();
}

void Tutorial::apply(const TutorialLessons::Step& step)
{
    using Action = TutorialLessons::Step::Action;
    if (step.action == Action::Show) {
        if (m_card.isNull()) {
            // A tool window of the compose window: it stays above it and goes with it.
            m_card = new TutorialCard(m_owner.data());
            connect(m_card.data(), &TutorialCard::lessonChosen, this, &Tutorial::chooseLesson);
            connect(m_card.data(), &TutorialCard::closedByUser, this,
                    [this] { (void)m_lessons.close(); });
        }
        m_card->showCard(QString::fromStdString(step.card), m_owner.data());
    } else if (step.action == Action::Close && m_card) {
        m_card->dismiss();
    }
}
