#include "shell/TutorialLessons.h"

#include "ScopedRegistry.h"
#include "shell/GreetingChoice.h"

#include <gtest/gtest.h>

namespace {

using Action = TutorialLessons::Step::Action;
using Step = TutorialLessons::Step;

void expectShows(const Step& step, const std::string& card)
{
    EXPECT_EQ(step.action, Action::Show);
    EXPECT_EQ(step.card, card);
}

TEST(TutorialLessonsTest, LessonThreeFollowsTheAddressBook)
{
    TutorialLessons lessons;
    expectShows(lessons.start(), "HIDT_General");
    // Steps of other lessons show nothing before a lesson is chosen.
    EXPECT_EQ(lessons.addressBookPressed().action, Action::Nothing);
    expectShows(lessons.chooseLesson(3), "HIDT_SA_STEP1");
    EXPECT_EQ(lessons.messageStepped().action, Action::Nothing);
    expectShows(lessons.addressBookPressed(), "HIDT_SA_STEP2");
    expectShows(lessons.addressBookAccepted(), "HIDT_SA_STEP3");
    EXPECT_EQ(lessons.sending().action, Action::Close);
    EXPECT_FALSE(lessons.isRunning());
    // The ended tutorial shows no later card.
    EXPECT_EQ(lessons.addressBookPressed().action, Action::Nothing);
}

TEST(TutorialLessonsTest, EachLessonStartsAtItsCardAndASendEndsOnlyTheSendingLessons)
{
    struct Case
    {
        int number;
        const char* first;
        bool endsWithSend;
    };
    for (const Case& c : {Case {1, "HIDT_SM_STEP1", true}, Case {2, "HIDT_AU_STEP1", false},
                          Case {3, "HIDT_SA_STEP1", true}, Case {4, "HIDT_RP_STEP1", true}}) {
        TutorialLessons lessons;
        (void)lessons.start();
        expectShows(lessons.chooseLesson(c.number), c.first);
        EXPECT_EQ(static_cast<int>(lessons.lesson()), c.number);
        EXPECT_EQ(lessons.sending().action, c.endsWithSend ? Action::Close : Action::Nothing);
        EXPECT_EQ(lessons.isRunning(), !c.endsWithSend) << c.number;
    }
}

TEST(TutorialLessonsTest, RepeatLessonAndOtherNumbersAndClosing)
{
    TutorialLessons lessons;
    EXPECT_EQ(lessons.chooseLesson(4).action, Action::Nothing); // no card open
    (void)lessons.start();
    (void)lessons.chooseLesson(4);
    expectShows(lessons.messageStepped(), "HIDT_RP_STEP2");
    expectShows(lessons.messageStepped(), "HIDT_RP_STEP2");
    EXPECT_EQ(lessons.chooseLesson(9).action, Action::Nothing);
    EXPECT_EQ(lessons.lesson(), TutorialLessons::Lesson::None);
    EXPECT_EQ(lessons.messageStepped().action, Action::Nothing);
    // A lesson card's "All lessons" ends the lesson and shows the lessons again.
    (void)lessons.chooseLesson(4);
    expectShows(lessons.chooseLesson(0), "HIDT_General");
    EXPECT_EQ(lessons.lesson(), TutorialLessons::Lesson::None);
    EXPECT_EQ(lessons.messageStepped().action, Action::Nothing);
    EXPECT_EQ(lessons.close().action, Action::Close);
    EXPECT_EQ(lessons.close().action, Action::Nothing);
}

TEST(GreetingChoiceTest, ATickedBoxSuppressesTheWelcomeForGood)
{
    ScopedRegistry registry;
    EXPECT_TRUE(GreetingChoice::shouldOffer());
    ASSERT_TRUE(GreetingChoice::remember(false));
    EXPECT_TRUE(GreetingChoice::shouldOffer());
    ASSERT_TRUE(GreetingChoice::remember(true));
    EXPECT_FALSE(GreetingChoice::shouldOffer());
    ASSERT_TRUE(GreetingChoice::remember(false)); // an unticked box later changes nothing
    EXPECT_FALSE(GreetingChoice::shouldOffer());
}

} // namespace
