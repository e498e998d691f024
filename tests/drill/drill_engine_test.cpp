#include "drill/spoken_text.h"
#include "tests/drill/engine_fixture.h"

#include "vocab/word_list.h"

#include <numeric>
#include <set>
#include <tuple>

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

std::u16string Trim(std::u16string_view text)
{
    const std::size_t first = text.find_first_not_of(u" \t");
    return first == text.npos ? u"" : std::u16string(text.substr(first, text.find_last_not_of(u" \t") - first + 1));
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
                    meaningsShown.insert(Trim(captions[std::size_t(k)]));
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

} // namespace
