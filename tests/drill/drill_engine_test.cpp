#include "drill/spoken_text.h"
#include "drill/time_span.h"
#include "tests/drill/engine_fixture.h"

#include "vocab/word_list.h"

#include <cstdint>
#include <numeric>
#include <set>
#include <string>
#include <tuple>
#include <utility>

namespace {

std::u16string Decimal(int n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

std::vector<int> Positions(int from, int to, std::vector<int> tail = {})
{
    std::vector<int> out(std::size_t(to - from + 1));
    std::iota(out.begin(), out.end(), from);
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

// Start Practise, or a level button, abandons what ran, unstored: a pause left
// running or frozen by Review must not skip the new first question.
TEST_F(EngineTest, StartingAPractiseOrALevelBeginsAfreshWhateverWasRunning)
{
    // The dialog opens on level 1 without a drill, its title strips styled as the controls tests draw them.
    EXPECT_EQ(std::tuple(session().currentWord, session().levelNumber, window.timerRunning), std::tuple(-1, 1, false));
    EXPECT_EQ(std::tuple(engine.levelTitle().text, engine.levelTitle().fontSize, engine.levelTitle().textTop,
                         engine.clock().fontSize, engine.clock().textTop),
              std::tuple(u"       French Vocabulary (1 - 50)", 24, 15.0f, 50, 1.0f));
    engine.AnnounceTime(); // the key that asks for the time
    EXPECT_EQ(window.announced.back(), u"No practise or speed challenge is running.");
    for (const bool level : {false, true}) {
        SCOPED_TRACE(level ? "level 2 selected" : "Start Practise");
        window.lists.clear();
        window.ensureVisible.clear();
        // Leftovers of a speed challenge, and of a drill elsewhere in the table.
        engine.StartSpeedChallenge();
        Wrong();
        Tick(2);
        engine.StartReview();
        engine.words()[1000].correct = 1;
        engine.words()[1000].pending = 0;
        engine.marked().marks[50] = 2;
        window.texts[id::kStatus] = u"the last challenge's score";
        window.now += 5;
        window.invalidations.clear();

        level ? engine.SelectLevel(2) : engine.StartDrill();
        const int first = level ? 51 : 1;
        if (level) {
            EXPECT_EQ(engine.levelTitle().text, u"       French Vocabulary (51 - 100)");
            EXPECT_EQ(window.invalidations.at(0), std::pair(id::kLevelTitle, true));
        }
        // The log stays, its newest row in view (each start and the answer brought it); the last score, drawn
        // over the word display, goes.
        EXPECT_EQ(std::tuple(window.timerRunning, window.selectedTab, window.IsShown(id::kResultsList),
                             window.IsShown(id::kAnswerLog), window.List(id::kAnswerLog).size(),
                             window.ensureVisible[id::kAnswerLog], window.texts[id::kStatus]),
                  std::tuple(true, 0, false, true, 1u, 3, u""));
        EXPECT_EQ(std::tuple(session().currentWord, session().tries, session().speedMode, session().startTime),
                  std::tuple(first, 0, 0, window.now));
        EXPECT_EQ(std::tuple(engine.progress().credit, engine.progress().creditMax, engine.marked().marks[1],
                             engine.marked().marks[50]),
                  std::tuple(0, 50, 0, 0));
        // Every row of the table is fresh from the list again, whatever its level.
        for (int w = 1; w <= 1000; ++w) {
            const WordEntry &e = engine.words()[w];
            const WordListRow &row = kWordList[std::size_t(w - 1)];
            ASSERT_EQ(std::tuple(e.french, e.english, e.correct, e.pending), std::tuple(row.french, row.english, 0, 1))
                << w;
        }
        EXPECT_EQ(std::tuple(window.texts[id::kWordDisplay], Captions()[std::size_t(session().answerSlot)]),
                  std::tuple(engine.words()[first].french, engine.words()[first].english));

        // The credit fills to the cap and drains without ending the drill.
        Tick(10);
        EXPECT_EQ(std::tuple(session().currentWord, engine.progress().credit), std::tuple(first, 0));
        for (int i = 0; i < 4; ++i) {
            Right();
            TicksToNextQuestion();
        }
        EXPECT_EQ(std::tuple(session().tries, engine.progress().credit), std::tuple(4, 47)); // 50 after the third
        Tick(60);
        EXPECT_EQ(std::tuple(engine.progress().credit, session().currentWord, window.timerRunning),
                  std::tuple(0, first + 4, true));
        window.now += 65;
        engine.AnnounceTime();
        EXPECT_EQ(window.announced.back(), u"1 minute 5 seconds so far, 4 of 50 right");
    }
    EXPECT_TRUE(store.writes.empty());
}

// Each question is said once with its choices, each answer with its verdict,
// and the pause says nothing more; when a French voice says the word, the
// reader leaves it out. The seed is the low half of the clock: seed 1 draws
// 41, 18467, 6334, 26500, 19169, so the right answer is on button 1, then
// words 10, 40 and 29 on buttons 2, 3 and 4.
TEST_F(EngineTest, AnswerIsJudgedByPositionSaidAndHeldForItsPause)
{
    window.now = (std::int64_t {1} << 32) + 1;
    const auto &w = engine.words();
    for (const auto &[right, pause, french] : {std::tuple {true, 3, true}, {false, 6, true}, {false, 6, false}}) {
        SCOPED_TRACE(testing::Message() << (right ? "right" : "wrong") << (french ? "" : ", no French"));
        engine.SetSpeakFrenchWord(french);
        engine.StartDrill();
        const Lines c = Captions();
        EXPECT_EQ(std::tuple(session().answerSlot, c),
                  std::tuple(0, Lines {w[1].english, w[10].english, w[40].english, w[29].english}));
        EXPECT_EQ(window.announced, Lines {SpokenText::Question(u"le", {c[0], c[1], c[2], c[3]}, french)});
        const int clicked = right ? 0 : 1;
        engine.AnswerClicked(clicked);
        for (int k = 0; k < 4; ++k) {
            engine.AnswerClicked(k); // ignored during the pause
        }

        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(std::pair(engine.answerFace(k).showRight, engine.answerFace(k).showWrong),
                      std::pair(right && k == 0 ? 1 : 0, !right && k == clicked ? 1 : 0));
        }
        EXPECT_EQ(window.List(id::kAnswerLog),
                  Lines {right ? u" Correct" : u"Incorrect: " + w[1].french + u" --- " + w[1].english});
        EXPECT_EQ(window.spokenRows[id::kAnswerLog],
                  Lines {right ? u"Correct: le means the" : u"Incorrect: le means the"});
        EXPECT_EQ(window.announced.back(), right ? u"right" : french ? u"wrong: le means the" : u"wrong: it means the");
        EXPECT_EQ(std::tuple(engine.marked().marks[1], w[1].correct, w[1].pending, engine.progress().credit),
                  right ? std::tuple(1, 1, 0, 20) : std::tuple(2, 0, 1, 0));
        EXPECT_EQ(std::tuple(session().tries, session().correctCount), std::tuple(1, right ? 1 : 0));

        Tick(pause - 1);
        EXPECT_EQ(std::tuple(session().currentWord, window.announced.size()), std::tuple(1, 2u));
        Tick();
        EXPECT_EQ(std::tuple(session().currentWord, session().answerPause, window.announced.size()),
                  std::tuple(2, 0, 3u));
        EXPECT_TRUE(window.announced.back().starts_with(french ? u"de. " : u"1 "));
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(engine.answerFace(k).showRight + engine.answerFace(k).showWrong, 0);
        }
        window.lists.clear();
        window.spokenRows.clear();
        window.announced.clear();
    }
}

// A practise ends once every word was last answered right; its line and
// best result are stored, listed and said.
TEST_F(EngineTest, PractiseAsksUntilEveryWordWasLastAnsweredRightThenStoresListsAndSaysItsResult)
{
    // The position answered wrong, how many times before it is answered right, the positions as asked, and the
    // best before (0: none, on the fresh profile) and after: only strictly fewer tries make a new best.
    const std::tuple<const char *, int, int, std::vector<int>, int, int> cases[] = {
        {"all right", 1, 0, Positions(1, 50), 0, 50},
        {"wrong at 10", 10, 1, Positions(1, 48, {10, 49, 50}), 51, 51},
        {"wrong at the last: it comes back at once", 50, 1, Positions(1, 50, {50}), 52, 51},
        {"wrong at 49: reached only by a scan", 49, 1, Positions(1, 48, {49, 49, 50}), 50, 50},
        // While 10 is pending the last word is asked again, though right.
        {"wrong at 10 four times", 10, 4, Positions(1, 48, {10, 49, 10, 50, 10, 50, 10}), 56, 55},
    };
    int row = 0;
    for (const auto &[name, position, wrongs, order, before, best] : cases) {
        SCOPED_TRACE(name);
        if (before != 0) {
            store.SetBest(1, before);
        }
        store.writes.clear();
        store.records = 0;
        engine.StartDrill();
        EXPECT_EQ(RunPractise({{position, wrongs}}), order);
        const int tries = int(order.size());
        EXPECT_EQ(std::tuple(session().tries, session().correctCount), std::tuple(tries, tries - wrongs));
        EXPECT_EQ(std::count(&engine.marked().marks[1], &engine.marked().marks[51], 1), 50);
        EXPECT_EQ(std::tuple(session().currentWord, window.timerRunning), std::tuple(-1, false));

        // One second an answer. The line and the best result went out as one record, and nothing else.
        const std::u16string seconds = Decimal(tries);
        const std::u16string line = u"  00 mins, " + seconds + u" secs Tries :" + seconds;
        const std::string result = "Result1_" + std::to_string(++row);
        EXPECT_EQ(store.records, 1);
        EXPECT_EQ(store.writes,
                  (best == before ? std::vector<std::string> {"Results/" + result}
                                  : std::vector<std::string> {"Results/" + result, "Results/BestResult1"}));
        EXPECT_EQ(std::tuple(Stored(result), Stored("BestResult1")), std::tuple(line, Decimal(best)));
        EXPECT_EQ(window.announced.back(),
                  SpokenText::PractiseEnd(tries, tries, before == 0 ? SpokenText::kNoBest : before));
        // The level button and the total strip show the new best at once.
        for (const auto &repaint : {std::pair(id::kLevelButtons[0], true), std::pair(id::kTotal, false)}) {
            EXPECT_EQ(std::count(window.invalidations.begin(), window.invalidations.end(), repaint), 1);
        }
        EXPECT_EQ(std::tuple(window.selectedTab, window.IsShown(id::kResultsList), window.IsShown(id::kAnswerLog)),
                  std::tuple(1, true, false));
        EXPECT_EQ(window.List(id::kResultsList).front(), line);
        EXPECT_EQ(window.texts[id::kWordDisplay], u"Complete " + line);
        EXPECT_EQ(Captions(), (Lines {u" - ", u" - ", u" - ", u" - "}));
        // The last verdict stays painted until the next question; the buttons no longer answer.
        EXPECT_EQ(std::tuple(engine.answerFace(session().answerSlot).showRight, engine.clock().text),
                  std::tuple(1, u"   00 : " + seconds));
        const std::size_t logRows = window.List(id::kAnswerLog).size();
        for (int k = 0; k < 4; ++k) {
            engine.AnswerClicked(k);
        }
        EXPECT_EQ(std::tuple(session().tries, window.List(id::kAnswerLog).size(), session().answerPause),
                  std::tuple(tries, logRows, 0));
    }
}

TEST_F(EngineTest, ResultsAreNumberedByTheListedRowsAndReadInWords)
{
    const std::u16string first = u"  01 mins, 05 secs Tries :53";
    store.WriteProfileString(kResultsSection, "Result5_1", first);
    store.WriteProfileString(kResultsSection, "Result5_2", u"second");
    store.WriteProfileString(kResultsSection, "Result5_4", u"beyond the gap");

    engine.SelectLevel(5);
    EXPECT_EQ(window.List(id::kResultsList), (Lines {u"second", first}));
    EXPECT_EQ(window.spokenRows[id::kResultsList], (Lines {u"second", u"1 minute 5 seconds, 53 tries"}));

    RunPractise();
    const std::u16string third = Stored("Result5_3");
    EXPECT_EQ(window.List(id::kResultsList), (Lines {third, u"second", first}));
    EXPECT_EQ(window.spokenRows[id::kResultsList].front(), u"50 seconds, 50 tries");

    // A second drill without selecting again takes the next number, but
    // never over a stored line: "beyond the gap" stays and the run goes to 5.
    engine.StartDrill();
    RunPractise({{3, 1}});
    EXPECT_EQ(Stored("Result5_4"), u"beyond the gap");
    EXPECT_EQ(Stored("Result5_5"), window.List(id::kResultsList).front());
    engine.SelectLevel(5); // the list is what is stored, gap line included, nothing twice
    EXPECT_EQ(window.List(id::kResultsList).size(), 5u);
}

// Three distinct words of the level, never its last, and never one whose
// meaning is already on a button while the level has another: a second
// button showing it would look right and be judged wrong.
TEST_F(EngineTest, WrongChoicesAreDistinctWordsAndMeaningsOfTheLevelButNeverItsLast)
{
    window.now = 1'700'000'029; // its draws include 32767, the largest
    engine.SelectLevel(2); // words 51..100
    for (const int meanings : {50, 25, 2, 1}) {
        SCOPED_TRACE(meanings);
        // The blanks in front name the word; the text is one of `meanings`.
        for (int w = 51; w <= 100; ++w) {
            engine.words()[w].english
                = std::u16string(std::size_t(w - 50), u' ') + char16_t(u'a' + w % meanings) + u"\t";
        }
        std::set<std::size_t> offered;
        std::set<int> slots;
        for (int round = 0; round < 40; ++round) {
            for (int w = 51; w <= 100; ++w) {
                engine.AskQuestion(w);
                const Lines captions = Captions();
                const int slot = session().answerSlot;
                slots.insert(slot);
                std::set<std::size_t> wrong;
                std::set<std::u16string> meaningsShown;
                for (int k = 0; k < 4; ++k) {
                    if (k != slot) {
                        wrong.insert(50 + captions[std::size_t(k)].find_first_not_of(u' '));
                    }
                    meaningsShown.insert(SpokenText::Plain(captions[std::size_t(k)]));
                }
                ASSERT_EQ(std::tuple(captions[std::size_t(slot)] == engine.words()[w].english, wrong.size(),
                                     wrong.count(std::size_t(w)), meaningsShown.size()),
                          std::tuple(true, 3u, 0u, std::size_t(std::min(meanings, 4))))
                    << "word " << w;
                offered.insert(wrong.begin(), wrong.end());
            }
        }
        EXPECT_EQ(slots.size(), 4u);
        // Exactly 51..99: all but the last word.
        EXPECT_EQ(std::tuple(offered.size(), *offered.begin(), *offered.rbegin()), std::tuple(49u, 51u, 99u));
    }
}

// What is spoken, built from the layout texts the word list holds; the
// engine tests check what it says with them.
TEST(SpokenTextTest, LayoutIsNeverSpokenAndTimesAndCountsAreSaidInWords)
{
    EXPECT_EQ(SpokenText::Plain(u"\tdepuis\t "), u"depuis");
    EXPECT_EQ(SpokenText::Plain(u"    who,  whom   "), u"who, whom");
    EXPECT_EQ(SpokenText::Plain(u" \t \r\n"), u"");
    EXPECT_EQ(SpokenText::Question(u"     le   ", {u"    the", u"    not   ", u"   in  ", u"\tby\t"}),
              u"le. 1 the, 2 not, 3 in, 4 by");
    EXPECT_EQ(SpokenText::Question(u"le", {u"the", u"not", u"in", u"by"}, false), u"1 the, 2 not, 3 in, 4 by");

    EXPECT_EQ(SpokenText::Duration(0), u"0 seconds");
    EXPECT_EQ(SpokenText::Duration(60), u"1 minute");
    EXPECT_EQ(SpokenText::Duration(-5), u"0 seconds");
    EXPECT_EQ(SpokenText::SecondsLeft(1), u"1 second left");
    EXPECT_EQ(SpokenText::SpeedEnd(61, 1, 1), u"Time is up: 1 correct on 1 guess in 1 minute 1 second.");
    EXPECT_EQ(SpokenText::PractiseEnd(319, 53, 58),
              u"Practise complete: 5 minutes 19 seconds, 53 tries. New best result.");
    EXPECT_EQ(SpokenText::PractiseEnd(319, 53, 53),
              u"Practise complete: 5 minutes 19 seconds, 53 tries. The best result stays 53 tries.");

    // Stored result lines are read in words; lines edited by hand or by
    // another program are read as they are, never guessed at.
    EXPECT_EQ(SpokenText::ResultLine(u"  120 mins, 00 secs Tries :1"), u"120 minutes, 1 try");
    EXPECT_EQ(SpokenText::ResultLine(u"  fast \t run 3"), u"fast run 3");
    EXPECT_EQ(SpokenText::ResultLine(u"  05 mins, 19 secs"), u"05 mins, 19 secs");
    EXPECT_EQ(SpokenText::ResultLine(u"99999999999999 mins, 1 secs Tries :2"), u"99999999999999 mins, 1 secs Tries :2");
}

// What the engine announces while a learner drills (more with the answers,
// results and speed challenge it belongs to).

TEST_F(EngineTest, TheSecondsLeftAreNeverSaidUnaskedTwiceWithinThreeSeconds)
{
    engine.StartSpeedChallenge();
    Tick(35);
    EXPECT_EQ(Cues(), (Lines {u"6 seconds left", u"3 seconds left"}));
    // A right answer lifts the credit to 7 s: it falls through 6 s one second
    // after the "3", too soon to speak again, and through 3 s four seconds on.
    Right();
    Tick(25);
    EXPECT_EQ(Cues(), (Lines {u"3 seconds left"}));
}

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

class ReviewTest : public EngineTest
{
protected:
    std::u16string ReviewText(int w) { return engine.words()[w].french + u" :: " + engine.words()[w].english; }
    std::u16string Display() { return window.texts[id::kWordDisplay]; }
    void Prev() { engine.AnswerClicked(0); }
    void Next() { engine.AnswerClicked(3); }
};

// Without a practise running Review steps nowhere, and it ends a speed challenge without a score. In a
// practise it stops the drill, steps from the word before, and freezes a pause.
TEST_F(ReviewTest, StopsTheDrillShowsTheWordBeforeAndFreezesAPause)
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

TEST(FormatTimeSpan, RendersTheDirectives)
{
    const std::tuple<std::int64_t, const char *, std::u16string> cases[] = {
        {0, "   %M : %S", u"   00 : 00"},
        {59, "   %M : %S", u"   00 : 59"},
        {60, "   %M : %S", u"   01 : 00"},
        {3599, "   %M : %S", u"   59 : 59"},
        {3600, "   %M : %S", u"   00 : 00"}, // hours are dropped by the clock
        {3725, "   %M : %S", u"   02 : 05"},
        {125, "  %M mins, %S secs Tries :", u"  02 mins, 05 secs Tries :"},
        {125, "  %M mins, %S secs  \r\n", u"  02 mins, 05 secs  \r\n"},
        {90061, "%D %H %M %S", u"1 01 01 01"},
        {90061, "%#D %#H %#M %#S", u"1 1 1 1"},
        {3 * 86400 + 7, "%D-%H", u"3-00"},
        {-5, "%M:%S", u"00:-5"},
        {-65, "%M:%S", u"-1:-5"},
        {-65, "%#M:%#S", u"-1:-5"},
        {5, "100%% %#%", u"100% %"},
        {5, "DHMS x", u"DHMS x"},
        {0, "", u""},
        {0, "\xE9%S", u"\u00E900"}, // high bytes widen as Latin-1
        // Days stay 64-bit: far beyond 32 bits of days; the whole range is defined.
        {std::int64_t {9'000'000'000'000} * 86400, "%D", u"9000000000000"},
        {INT64_MAX, "%D %H %M %S", u"106751991167300 15 30 07"},
        {INT64_MIN, "%D %H %M %S", u"-106751991167300 -15 -30 -8"},
    };
    for (const auto &[span, format, expected] : cases) {
        EXPECT_EQ(FormatTimeSpan(span, format), expected) << format << " @ " << span;
    }
}

TEST(FormatTimeSpan, MalformedDirectivesFailWithEFailAndNoFormatWithInvalidArg)
{
    for (const auto &[format, code] : {std::pair<const char *, unsigned> {"%X", 0x80004005u},
                                       {"%", 0x80004005u},
                                       {"abc%", 0x80004005u},
                                       {"%#", 0x80004005u},
                                       {"%#x", 0x80004005u},
                                       {"%M %q", 0x80004005u},
                                       {"%d", 0x80004005u},
                                       {nullptr, 0x80070057u}}) {
        try {
            FormatTimeSpan(1, format);
            ADD_FAILURE() << "no error for " << format;
        } catch (const TimeSpanFormatError &e) {
            EXPECT_EQ(e.code(), code) << format;
        }
    }
}

} // namespace
