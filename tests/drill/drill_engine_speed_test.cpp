#include "tests/drill/engine_fixture.h"

#include <tuple>

namespace {

TEST_F(EngineTest, UnansweredSpeedChallengeEndsOnTheFiftyFirstTick)
{
    engine.StartSpeedChallenge();
    EXPECT_EQ(std::tuple(engine.progress().credit, engine.progress().creditMax), std::tuple(50, 50));
    for (int tick = 1; tick <= 50; ++tick) {
        window.now += tick % 5 == 0 ? 1 : 0; // five ticks a second
        Tick();
        if (tick == 3 || tick == 50) {
            engine.AnnounceTime(); // whole seconds left, rounded up: 9.4 s is said as 10
        }
    }
    EXPECT_EQ(std::tuple(engine.progress().credit, session().currentWord), std::tuple(0, 1));
    EXPECT_TRUE(window.highScoreRuns.empty());
    EXPECT_EQ(Cues(), (Lines {u"10 seconds left", u"6 seconds left", u"3 seconds left", u"0 seconds left"}));

    // The dialog stays open 30 s; the clock shows it, the score does not.
    window.highScoresSeconds = 30;
    Tick();
    EXPECT_EQ(std::tuple(window.highScoreRuns, window.timerRanDuringHighScores),
              std::tuple(HighScoreRuns {{10, 0, 0}}, false));
    // Its score is said on the last tick, before the table takes the focus.
    EXPECT_EQ(window.announced, Lines {u"Time is up: 0 correct on 0 guesses in 10 seconds."});
    EXPECT_EQ(window.texts[id::kStatus], u"  00 mins, 10 secs  \r\n0 Correct on 0 guesses");
    // The score is drawn where the word was: the word goes, so the score can be read.
    EXPECT_EQ(window.texts[id::kWordDisplay], u"");
    EXPECT_EQ(Captions(), (Lines {u" - ", u" - ", u" - ", u" - "}));
    EXPECT_EQ(std::tuple(session().speedMode, session().currentWord, engine.clock().text),
              std::tuple(0, -1, u"   00 : 40"));
    // No result is stored and the answer log stays shown.
    EXPECT_EQ(std::tuple(store.writes.empty(), window.selectedTab), std::tuple(true, 0));
}

TEST_F(EngineTest, SpentCreditEndsTheChallengeUnlessARightAnswerComesFirst)
{
    // Credit at the answer, right or wrong, ticks to the end, the word asked just before it. A wrong answer
    // pauses six ticks; the credit runs out first, together with the pause, or after it. A right one on a
    // spent credit refills it.
    for (const auto &[credit, right, ticks, word] : {std::tuple {3, false, 4, 1}, std::tuple {6, false, 6, 1},
                                                     std::tuple {7, false, 8, 2}, std::tuple {0, true, 21, 2}}) {
        SCOPED_TRACE(credit);
        window.highScoreRuns.clear();
        engine.StartSpeedChallenge();
        Tick(50 - credit);
        right ? Right() : Wrong();
        Tick(ticks - 1);
        EXPECT_EQ(std::tuple(window.highScoreRuns.size(), session().currentWord), std::tuple(0u, word));
        Tick();
        EXPECT_EQ(window.highScoreRuns, (HighScoreRuns {{0, right ? 1 : 0, 1}}));
    }
}

TEST_F(EngineTest, SpeedChallengeTakesTheWordsInTurnAndComesRoundAfterTheLevelsEnd)
{
    engine.SelectLevel(20); // 951..1000: nothing after its last word
    engine.StartSpeedChallenge();
    for (int i = 0; i < 70; ++i) {
        ASSERT_EQ(session().currentWord, 951 + i % 50) << "question " << i;
        i % 4 == 1 ? Wrong() : Right(); // wrong answers do not bring a word back
        TicksToNextQuestion();
    }
    // The strip's 50 cells hold every mark.
    EXPECT_EQ(std::count(engine.marked().marks.begin() + 51, engine.marked().marks.end(), 0), 950);
}

} // namespace
