#include "drill/spoken_text.h"
#include "tests/drill/engine_fixture.h"

#include <tuple>

namespace {

class ReviewTest : public EngineTest
{
protected:
    std::u16string ReviewText(int w) { return engine.words()[w].french + u" :: " + engine.words()[w].english; }
    std::u16string Display() { return window.texts[id::kWordDisplay]; }
    void Prev() { engine.AnswerClicked(0); }
    void Next() { engine.AnswerClicked(3); }
};

TEST_F(ReviewTest, StopsTheDrillShowsTheWordBeforeAndFreezesAPause)
{
    engine.SelectLevel(2);
    while (Position() < 5) {
        Right();
        TicksToNextQuestion();
    }
    const auto logRows = window.List(id::kAnswerLog).size();

    engine.StartReview(); // relabels and hides as MainDialogTest.LevelButtonStartsItsLevelAndDigitKeysAnswer sees
    EXPECT_EQ(std::tuple(window.timerRunning, session().reviewMode), std::tuple(false, 1));
    EXPECT_EQ(std::tuple(session().currentWord, Display()), std::tuple(54, ReviewText(54)));

    Next();
    Next();
    EXPECT_EQ(Display(), ReviewText(56));
    EXPECT_EQ(window.announced.back(), SpokenText::Meaning(engine.words()[56].french, engine.words()[56].english));
    engine.AnswerClicked(1); // the middle buttons do nothing in Review
    engine.AnswerClicked(2);
    EXPECT_EQ(Display(), ReviewText(56));
    engine.StartReview(); // steps back once more
    EXPECT_EQ(Display(), ReviewText(55));
    EXPECT_EQ(std::tuple(session().tries, window.List(id::kAnswerLog).size()), std::tuple(4, logRows));

    // Round the level's ends.
    for (int k = 0; k < 5; ++k) {
        Prev();
    }
    EXPECT_EQ(Display(), ReviewText(100));
    Next();
    EXPECT_EQ(Display(), ReviewText(51));
    engine.SetSpeakFrenchWord(false); // a French voice says the word: the reader only its meaning
    Prev();
    EXPECT_EQ(window.announced.back(), SpokenText::Plain(engine.words()[100].english));

    // Only a new drill leaves Review.
    engine.StartDrill();
    EXPECT_EQ(session().reviewMode, 0);
    EXPECT_TRUE(window.IsShown(id::kAnswer2) && window.IsShown(id::kAnswer3));
    EXPECT_NE(window.texts[id::kAnswer1], u" Prev ");
    EXPECT_NE(window.texts[id::kAnswer4], u" Next ");

    // Entered during the pause after an answer, it freezes the pause and steps nowhere.
    Wrong();
    engine.StartReview();
    EXPECT_EQ(session().answerPause, 6);
    const std::u16string shown = Display();
    Prev();
    Next();
    EXPECT_EQ(std::tuple(session().currentWord, Display()), std::tuple(51, shown));
}

// Without a practise running Review steps nowhere, and it ends a speed
// challenge without a score.
TEST_F(ReviewTest, OutsideAPractiseStepsNowhereOrEndsAChallengeUnscored)
{
    window.texts[id::kWordDisplay] = u"Press start button to begin.";
    engine.StartReview();
    Prev();
    Next();
    EXPECT_EQ(std::tuple(session().currentWord, Display()), std::tuple(-1, u"Press start button to begin."));

    engine.StartSpeedChallenge();
    engine.StartReview();
    EXPECT_EQ(std::tuple(window.timerRunning, session().speedMode, Display()), std::tuple(false, 1, ReviewText(50)));
    EXPECT_TRUE(window.highScoreRuns.empty() && window.texts[id::kStatus].empty());
}

} // namespace
