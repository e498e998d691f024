#include "tests/drill/engine_fixture.h"

#include "vocab/word_list.h"

#include <numeric>
#include <set>
#include <tuple>

namespace {

std::vector<int> Positions(int from, int to, std::vector<int> tail = {})
{
    std::vector<int> out(std::size_t(to - from + 1));
    std::iota(out.begin(), out.end(), from);
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

TEST_F(EngineTest, StartPractiseBeginsAfreshOnTheLevelsFirstWord)
{
    // The dialog opens on level 1 without a drill.
    EXPECT_EQ(std::tuple(session().currentWord, session().levelNumber, window.timerRunning), std::tuple(-1, 1, false));

    // Leftovers of a speed challenge, and of a drill elsewhere in the table.
    engine.StartSpeedChallenge();
    Wrong();
    Tick(2);
    engine.words()[1000].correct = 1;
    engine.words()[1000].pending = 0;
    engine.marked().marks[50] = 2;
    window.texts[id::kStatus] = u"the last challenge's score";
    window.now += 5;

    engine.StartDrill();

    EXPECT_TRUE(window.timerRunning);
    EXPECT_EQ(window.selectedTab, 0);
    EXPECT_FALSE(window.IsShown(id::kResultsList));
    EXPECT_TRUE(window.IsShown(id::kAnswerLog));
    // The log stays; the last score, drawn over the word display, goes.
    EXPECT_EQ(window.List(id::kAnswerLog).size(), 1u);
    EXPECT_EQ(window.texts[id::kStatus], u"");
    EXPECT_EQ(window.ensureVisible[id::kAnswerLog], 3); // the newest row in view: each start and the answer
    EXPECT_EQ(std::tuple(session().currentWord, session().tries, session().speedMode, session().startTime),
              std::tuple(1, 0, 0, window.now));
    EXPECT_EQ(std::tuple(engine.progress().credit, engine.progress().creditMax), std::tuple(0, 50));
    EXPECT_EQ(std::tuple(engine.marked().marks[1], engine.marked().marks[50]), std::tuple(0, 0));
    // Every row of the table is fresh from the list again, whatever its level.
    for (int w = 1; w <= 1000; ++w) {
        const WordEntry &e = engine.words()[w];
        const WordListRow &row = kWordList[std::size_t(w - 1)];
        ASSERT_EQ(std::tuple(e.french, e.english, e.correct, e.pending), std::tuple(row.french, row.english, 0, 1))
            << w;
    }
    EXPECT_EQ(window.texts[id::kWordDisplay], engine.words()[1].french);
    EXPECT_EQ(window.texts[id::kAnswers[std::size_t(session().answerSlot)]], engine.words()[1].english);
}

TEST_F(EngineTest, PractiseAsksUntilEveryWordWasLastAnsweredRight)
{
    // The position answered wrong, how many times before it is answered right, the positions as asked.
    const std::tuple<const char *, int, int, std::vector<int>> cases[] = {
        {"all right", 1, 0, Positions(1, 50)},
        {"wrong at 10", 10, 1, Positions(1, 48, {10, 49, 50})},
        {"wrong at the last: it comes back at once", 50, 1, Positions(1, 50, {50})},
        {"wrong at 49: reached only by a scan", 49, 1, Positions(1, 48, {49, 49, 50})},
        // While 10 is pending the last word is asked again, though right.
        {"wrong at 10 four times", 10, 4, Positions(1, 48, {10, 49, 10, 50, 10, 50, 10})},
    };
    for (const auto &[name, position, wrongs, order] : cases) {
        SCOPED_TRACE(name);
        engine.StartDrill();
        EXPECT_EQ(RunPractise({{position, wrongs}}), order);
        const int asked = int(order.size());
        EXPECT_EQ(std::tuple(session().tries, session().correctCount), std::tuple(asked, asked - wrongs));
        EXPECT_EQ(std::count(&engine.marked().marks[1], &engine.marked().marks[51], 1), 50);
        EXPECT_EQ(std::tuple(session().currentWord, window.timerRunning), std::tuple(-1, false));
    }
}

TEST_F(EngineTest, AnswerIsJudgedByPositionAndHeldForItsPause)
{
    for (const auto &[right, pause] : {std::pair {true, 3}, std::pair {false, 6}}) {
        SCOPED_TRACE(right ? "right" : "wrong");
        engine.StartDrill();
        const int slot = session().answerSlot;
        const int clicked = right ? slot : (slot + 1) % 4;
        engine.AnswerClicked(clicked);
        for (int k = 0; k < 4; ++k) {
            engine.AnswerClicked(k); // ignored during the pause
        }

        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(engine.answerFace(k).showRight, right && k == slot ? 1 : 0);
            EXPECT_EQ(engine.answerFace(k).showWrong, !right && k == clicked ? 1 : 0);
        }
        const WordEntry &word = engine.words()[1];
        EXPECT_EQ(window.List(id::kAnswerLog),
                  Lines {right ? u" Correct" : u"Incorrect: " + word.french + u" --- " + word.english});
        EXPECT_EQ(std::tuple(engine.marked().marks[1], word.correct, word.pending, engine.progress().credit),
                  right ? std::tuple(1, 1, 0, 20) : std::tuple(2, 0, 1, 0));
        EXPECT_EQ(std::tuple(session().tries, session().correctCount), std::tuple(1, right ? 1 : 0));

        Tick(pause - 1);
        EXPECT_EQ(session().currentWord, 1);
        Tick();
        EXPECT_EQ(std::tuple(session().currentWord, session().answerPause), std::tuple(2, 0));
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(engine.answerFace(k).showRight + engine.answerFace(k).showWrong, 0);
        }
        window.lists.clear();
    }
}

// Selecting a level abandons the drill, unstored, and starts afresh on the
// level's first word, not skipped by a pause left running or frozen by Review.
TEST_F(EngineTest, SelectingALevelStartsItAfreshWhateverWasRunning)
{
    for (const bool review : {false, true}) {
        SCOPED_TRACE(review ? "from Review" : "from a pause");
        engine.StartDrill();
        Wrong();
        if (review) {
            engine.StartReview(); // freezes the pause
        }
        window.invalidations.clear();
        engine.SelectLevel(2);
        EXPECT_EQ(engine.levelTitle().text, u"       French Vocabulary (51 - 100)");
        EXPECT_EQ(window.invalidations.at(0), std::pair(id::kLevelTitle, true));
        Tick(10);
        EXPECT_EQ(session().currentWord, 51);
        Right();
        EXPECT_EQ(session().tries, 1);
    }
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(EngineTest, PractiseCreditFillsToTheCapAndDrainsWithoutEndingTheDrill)
{
    engine.StartDrill();
    Tick(5);
    EXPECT_EQ(engine.progress().credit, 0);
    for (int i = 0; i < 4; ++i) {
        Right();
        TicksToNextQuestion();
    }
    EXPECT_EQ(engine.progress().credit, 47); // capped at 50 after the third, then 50 - 3
    Tick(60);
    EXPECT_EQ(std::tuple(engine.progress().credit, session().currentWord, window.timerRunning), std::tuple(0, 5, true));
}

TEST_F(EngineTest, FinishedPractiseIsListedStoredAndShown)
{
    engine.StartDrill();
    while (session().currentWord != -1) { // 50 s, all right
        Right();
        window.now += 1;
        window.invalidations.clear(); // keeps what the ticks after the last answer repaint
        TicksToNextQuestion();
    }
    const std::u16string line = u"  00 mins, 50 secs Tries :50";
    // The line and the best result went out as one record, and nothing else.
    EXPECT_EQ(store.records, 1);
    EXPECT_EQ(store.writes, (std::vector<std::string> {"Results/Result1_1", "Results/BestResult1"}));
    EXPECT_EQ(Stored("BestResult1"), u"50");
    // The level button and the total strip show the new best at once.
    for (const auto &repaint : {std::pair(id::kLevelButtons[0], true), std::pair(id::kTotal, false)}) {
        EXPECT_EQ(std::count(window.invalidations.begin(), window.invalidations.end(), repaint), 1);
    }

    EXPECT_EQ(std::tuple(window.selectedTab, window.IsShown(id::kResultsList), window.IsShown(id::kAnswerLog)),
              std::tuple(1, true, false));
    EXPECT_EQ(window.List(id::kResultsList), Lines {line});
    EXPECT_EQ(Stored("Result1_1"), line);
    EXPECT_EQ(window.texts[id::kWordDisplay], u"Complete " + line);
    EXPECT_EQ(Captions(), (Lines {u" - ", u" - ", u" - ", u" - "}));
    // The last verdict stays painted until the next question; the buttons no longer answer.
    EXPECT_EQ(engine.answerFace(session().answerSlot).showRight, 1);
    EXPECT_EQ(engine.clock().text, u"   00 : 50");
    for (int k = 0; k < 4; ++k) {
        engine.AnswerClicked(k);
    }
    EXPECT_EQ(std::tuple(session().tries, window.List(id::kAnswerLog).size(), session().answerPause),
              std::tuple(50, 50u, 0));
}

TEST_F(EngineTest, ResultsAreNumberedByTheListedRows)
{
    store.WriteProfileString(kResultsSection, "Result5_1", u"first");
    store.WriteProfileString(kResultsSection, "Result5_2", u"second");
    store.WriteProfileString(kResultsSection, "Result5_4", u"beyond the gap");

    engine.SelectLevel(5);
    EXPECT_EQ(window.List(id::kResultsList), (Lines {u"second", u"first"}));

    RunPractise();
    const std::u16string third = Stored("Result5_3");
    EXPECT_FALSE(third.empty());
    EXPECT_EQ(window.List(id::kResultsList), (Lines {third, u"second", u"first"}));

    // A second drill without selecting again takes the next number, but
    // never over a stored line: "beyond the gap" stays and the run goes to 5.
    engine.StartDrill();
    RunPractise({{3, 1}});
    EXPECT_EQ(Stored("Result5_4"), u"beyond the gap");
    EXPECT_EQ(Stored("Result5_5"), window.List(id::kResultsList).front());
    engine.SelectLevel(5); // the list is what is stored, gap line included, nothing twice
    EXPECT_EQ(window.List(id::kResultsList).size(), 5u);
}

TEST_F(EngineTest, BestResultOnlyForStrictlyFewerTries)
{
    // The best stored before (0: none, on the fresh profile), wrong answers on top of the 50, the best after.
    for (const auto &[stored, wrongs, best] : {std::tuple {0, 0, 50}, {51, 1, 51}, {52, 1, 51}, {50, 1, 50}}) {
        SCOPED_TRACE(stored);
        if (stored != 0) {
            store.SetBest(1, stored);
        }
        store.writes.clear();
        engine.StartDrill();
        RunPractise({{1, wrongs}});
        EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), best);
        EXPECT_EQ(std::count(store.writes.begin(), store.writes.end(), "Results/BestResult1"), best == stored ? 0 : 1);
    }
}

TEST_F(EngineTest, SeedIsTheLowHalfOfTheClock)
{
    // Seed 1 draws 41, 18467, 6334, 26500, 19169: right answer on button 1,
    // then words 10, 40 and 29 on buttons 2, 3 and 4.
    window.now = (std::int64_t {1} << 32) + 1;
    engine.StartDrill();
    const auto &w = engine.words();
    EXPECT_EQ(session().answerSlot, 0);
    EXPECT_EQ(Captions(), (Lines {w[1].english, w[10].english, w[40].english, w[29].english}));
}

TEST_F(EngineTest, WrongChoicesAreDistinctWordsOfTheLevelButNeverItsLast)
{
    window.now = 1'700'000'029; // its draws include 32767, the largest
    engine.SelectLevel(2); // words 51..100
    // Tag every meaning so a caption names its word, whatever the list says.
    for (int w = 1; w <= 1000; ++w) {
        engine.words()[w].english = std::u16string(1, char16_t(w));
    }
    std::set<int> offered, slotsSeen;
    for (int round = 0; round < 40; ++round) {
        for (int w = 51; w <= 100; ++w) {
            engine.AskQuestion(w);
            const int slot = session().answerSlot;
            slotsSeen.insert(slot);
            EXPECT_EQ(window.texts[id::kAnswers[std::size_t(slot)]], std::u16string(1, char16_t(w)));
            std::set<int> wrong;
            for (int k = 0; k < 4; ++k) {
                if (k != slot) {
                    wrong.insert(window.texts[id::kAnswers[std::size_t(k)]].at(0));
                }
            }
            EXPECT_EQ(std::tuple(wrong.size(), wrong.count(w)), std::tuple(3u, 0u));
            offered.insert(wrong.begin(), wrong.end());
        }
    }
    EXPECT_EQ(slotsSeen.size(), 4u);
    // Exactly 51..99: all but the last word.
    EXPECT_EQ(std::tuple(offered.size(), *offered.begin(), *offered.rbegin()), std::tuple(49u, 51, 99));
}

std::u16string Trim(std::u16string_view text)
{
    const std::size_t first = text.find_first_not_of(u" \t");
    return first == text.npos ? u"" : std::u16string(text.substr(first, text.find_last_not_of(u" \t") - first + 1));
}

// Two words of a level can share a meaning; a second button showing it would
// look right and be judged wrong.
TEST_F(EngineTest, NoTwoButtonsShowTheSameMeaning)
{
    for (int level = 1; level <= 20; ++level) {
        for (int seed = 0; seed < 40; ++seed) {
            window.now = seed;
            engine.SelectLevel(level);
            for (int w = session().firstWord; w <= session().lastWord; ++w) {
                engine.AskQuestion(w);
                const Lines captions = Captions();
                ASSERT_EQ(captions[std::size_t(session().answerSlot)], engine.words()[w].english);
                std::set<std::u16string> meanings;
                for (const std::u16string &caption : captions) {
                    meanings.insert(Trim(caption));
                }
                ASSERT_EQ(meanings.size(), 4u) << "level " << level << ", seed " << seed << ", word " << w;
            }
        }
    }
}

// A level with too few meanings still gets three distinct wrong words, and
// every meaning it has is offered.
TEST_F(EngineTest, LevelShortOfMeaningsStillOffersDistinctWords)
{
    engine.SelectLevel(2); // words 51..100
    for (const int meanings : {1, 2}) {
        SCOPED_TRACE(meanings);
        // The blanks in front name the word; the text is one of `meanings`.
        for (int w = 51; w <= 100; ++w) {
            engine.words()[w].english
                = std::u16string(std::size_t(w - 50), u' ') + char16_t(u'a' + w % meanings) + u"\t";
        }
        for (int w = 51; w <= 100; ++w) {
            engine.AskQuestion(w);
            std::set<std::size_t> wordsShown;
            std::set<std::u16string> meaningsShown;
            for (const std::u16string &caption : Captions()) {
                wordsShown.insert(50 + caption.find_first_not_of(u' '));
                meaningsShown.insert(Trim(caption));
            }
            EXPECT_EQ(std::tuple(wordsShown.size(), wordsShown.count(std::size_t(w)), meaningsShown.size()),
                      std::tuple(4u, 1u, std::size_t(meanings)));
        }
    }
}

} // namespace
