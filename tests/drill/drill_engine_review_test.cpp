#include "tests/drill/engine_fixture.h"

namespace {

class ReviewTest : public EngineTest
{
protected:
    std::u16string ReviewText(int w) { return engine.words()[w].french + u" :: " + engine.words()[w].english; }
    std::u16string Display() { return window.texts[id::kWordDisplay]; }
    void Prev() { engine.AnswerClicked(0); }
    void Next() { engine.AnswerClicked(3); }
    // A practise drill on level 2 asking its p-th word, no pause running.
    void DrillUpTo(int p)
    {
        engine.SelectLevel(2);
        while (Position() < p) {
            Right();
            TicksToNextQuestion();
        }
    }
};

TEST_F(ReviewTest, StopsTheDrillAndShowsTheWordBefore)
{
    DrillUpTo(5);
    const auto logRows = window.List(id::kAnswerLog).size();
    window.invalidations.clear();

    engine.StartReview();
    EXPECT_FALSE(window.timerRunning);
    EXPECT_EQ(session().reviewMode, 1);
    const char16_t *captions[] = {u" Prev ", u" - ", u" - ", u" Next "};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(window.IsShown(id::kAnswers[k]), k == 0 || k == 3) << k;
        EXPECT_EQ(window.texts[id::kAnswers[k]], captions[k]) << k;
        EXPECT_EQ(window.invalidations.at(k), (RecordingWindow::Invalidation {id::kAnswers[k], true}));
    }
    EXPECT_EQ(window.invalidations.size(), 4u);
    EXPECT_EQ(session().currentWord, 54);
    EXPECT_EQ(Display(), ReviewText(54));

    Next();
    Next();
    EXPECT_EQ(Display(), ReviewText(56));
    // The middle buttons do nothing in Review.
    engine.AnswerClicked(1);
    engine.AnswerClicked(2);
    EXPECT_EQ(Display(), ReviewText(56));
    // Pressing Review again steps back once more.
    engine.StartReview();
    EXPECT_EQ(Display(), ReviewText(55));
    EXPECT_EQ(session().tries, 4);
    EXPECT_EQ(window.List(id::kAnswerLog).size(), logRows);
}

TEST_F(ReviewTest, WrapsAroundTheLevel)
{
    DrillUpTo(1);
    engine.StartReview(); // from the first word: the last
    EXPECT_EQ(Display(), ReviewText(100));
    Next();
    EXPECT_EQ(Display(), ReviewText(51));
    Prev();
    Prev();
    EXPECT_EQ(Display(), ReviewText(99));
}

TEST_F(ReviewTest, EnteredDuringAPauseFreezesIt)
{
    DrillUpTo(3);
    Wrong();
    engine.StartReview();
    EXPECT_EQ(session().answerPause, 6);
    const std::u16string shown = Display();
    Prev();
    Next();
    EXPECT_EQ(Display(), shown);
    EXPECT_EQ(session().currentWord, 53);

    // Only a new drill leaves Review.
    engine.StartDrill();
    EXPECT_EQ(session().reviewMode, 0);
    for (int answerId : id::kAnswers) {
        EXPECT_TRUE(window.IsShown(answerId));
        EXPECT_NE(window.texts[answerId], u" Prev ");
        EXPECT_NE(window.texts[answerId], u" Next ");
    }
}

TEST_F(ReviewTest, WithoutADrillOnlyRelabels)
{
    window.texts[id::kWordDisplay] = u"Press start button to begin.";
    engine.StartReview();
    EXPECT_EQ(window.texts[id::kAnswer1], u" Prev ");
    Prev();
    Next();
    EXPECT_EQ(Display(), u"Press start button to begin.");
    EXPECT_EQ(session().currentWord, -1);
}

TEST_F(ReviewTest, EndsASpeedChallengeWithoutAScore)
{
    engine.StartSpeedChallenge();
    engine.StartReview();
    EXPECT_FALSE(window.timerRunning);
    EXPECT_EQ(session().speedMode, 1);
    EXPECT_EQ(Display(), ReviewText(50));
    EXPECT_TRUE(window.highScoreRuns.empty());
    EXPECT_TRUE(window.texts[id::kStatus].empty());
}

} // namespace
