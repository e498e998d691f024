#include "tests/drill/engine_fixture.h"

namespace {

TEST_F(EngineTest, UnansweredSpeedChallengeEndsOnTheFiftyFirstTick)
{
    engine.StartSpeedChallenge();
    EXPECT_EQ(engine.progress().credit, 50);
    EXPECT_EQ(engine.progress().creditMax, 50);
    const std::int64_t start = window.now;
    for (int tick = 1; tick <= 50; ++tick) {
        if (tick % 5 == 0) {
            window.now += 1; // five ticks a second
        }
        Tick();
    }
    EXPECT_EQ(engine.progress().credit, 0);
    EXPECT_TRUE(window.highScoreRuns.empty());
    EXPECT_EQ(session().currentWord, 1);

    // The dialog stays open a while; the clock shows it, the score does not.
    window.duringHighScores = [&](std::int64_t, std::int32_t, std::int32_t) {
        EXPECT_FALSE(window.timerRunning);
        window.now += 30;
    };
    Tick();
    ASSERT_EQ(window.highScoreRuns.size(), 1u);
    EXPECT_EQ(window.highScoreRuns[0].span, 10);
    EXPECT_EQ(window.highScoreRuns[0].correct, 0);
    EXPECT_EQ(window.highScoreRuns[0].tries, 0);
    EXPECT_EQ(window.texts[id::kStatus], u"  00 mins, 10 secs  \r\n0 Correct on 0 guesses");
    for (int answerId : id::kAnswers) {
        EXPECT_EQ(window.texts[answerId], u" - ");
    }
    EXPECT_EQ(session().speedMode, 0);
    EXPECT_EQ(session().currentWord, -1);
    EXPECT_EQ(engine.clock().text, u"   00 : 40");
    EXPECT_EQ(window.now - start, 40);
}

TEST_F(EngineTest, RightAnswerOnASpentCreditKeepsTheChallengeGoing)
{
    engine.StartSpeedChallenge();
    Tick(50);
    ASSERT_EQ(engine.progress().credit, 0);
    Right();
    EXPECT_EQ(engine.progress().credit, 20);
    TicksToNextQuestion();
    EXPECT_EQ(session().currentWord, 2);
    EXPECT_TRUE(window.highScoreRuns.empty());
}

TEST_F(EngineTest, SpentCreditCutsThePauseShort)
{
    struct Case
    {
        int creditAtAnswer;
        int ticksToEnd;
    };
    // A wrong answer pauses six ticks; the credit runs out first, together
    // with the pause, or after it.
    for (const Case c : {Case {3, 4}, Case {6, 6}, Case {7, 8}}) {
        SCOPED_TRACE(c.creditAtAnswer);
        window.highScoreRuns.clear();
        engine.StartSpeedChallenge();
        Tick(50 - c.creditAtAnswer);
        Wrong();
        Tick(c.ticksToEnd - 1);
        EXPECT_TRUE(window.highScoreRuns.empty());
        Tick();
        ASSERT_EQ(window.highScoreRuns.size(), 1u);
        EXPECT_EQ(window.highScoreRuns[0].tries, 1);
        EXPECT_EQ(window.highScoreRuns[0].correct, 0);
    }
}

TEST_F(EngineTest, SpeedChallengeTakesTheWordsInTurnAndComeRoundAfterTheLevelsEnd)
{
    engine.SelectLevel(20); // 951..1000: nothing after its last word
    engine.StartSpeedChallenge();
    std::vector<int> asked;
    for (int i = 0; i < 70; ++i) {
        asked.push_back(session().currentWord);
        // Wrong answers do not bring a word back.
        i % 4 == 1 ? Wrong() : Right();
        TicksToNextQuestion();
        ASSERT_NE(session().currentWord, -1) << "credit ran out at answer " << i;
    }
    for (int i = 0; i < 70; ++i) {
        EXPECT_EQ(asked[static_cast<std::size_t>(i)], 951 + i % 50) << "question " << i;
    }
    // The strip's 50 cells hold every mark.
    for (std::size_t k = 51; k < engine.marked().marks.size(); ++k) {
        ASSERT_EQ(engine.marked().marks[k], 0) << "slot " << k;
    }
}

TEST_F(EngineTest, SpeedChallengeStoresNoResultAndKeepsTheAnswerLogShown)
{
    engine.StartSpeedChallenge();
    for (int i = 0; i < 5; ++i) {
        Right();
        TicksToNextQuestion();
    }
    window.invalidations.clear();
    for (int i = 0; i < 200 && window.highScoreRuns.empty(); ++i) {
        Tick();
    }
    ASSERT_EQ(window.highScoreRuns.size(), 1u);
    EXPECT_EQ(window.highScoreRuns[0].correct, 5);
    EXPECT_EQ(window.highScoreRuns[0].tries, 5);
    EXPECT_TRUE(counting.writes.empty());
    EXPECT_EQ(window.selectedTab, 0);
    EXPECT_EQ(CountInvalidations(id::kLevelButtons[0], true), 0);
}

TEST_F(EngineTest, LevelButtonDuringASpeedChallengeEndsItSilently)
{
    engine.StartSpeedChallenge();
    Right();
    engine.SelectLevel(2);
    EXPECT_EQ(session().speedMode, 0);
    EXPECT_EQ(session().currentWord, 51);
    Tick(60);
    EXPECT_TRUE(window.highScoreRuns.empty());
    EXPECT_TRUE(window.texts[id::kStatus].empty());
}

} // namespace
