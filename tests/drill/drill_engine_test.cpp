#include "tests/drill/engine_fixture.h"

#include "drill/crt_random.h"
#include "records/profile_keys.h"
#include "vocab/word_list.h"

#include <set>
#include <string>

namespace {

std::vector<int> Positions(int from, int to, std::vector<int> tail = {})
{
    std::vector<int> out;
    for (int p = from; p <= to; ++p) {
        out.push_back(p);
    }
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

std::u16string U(const std::string &ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

std::vector<RecordingWindow::Invalidation> Repaint()
{
    std::vector<RecordingWindow::Invalidation> out;
    for (int answerId : id::kAnswers) {
        out.push_back({answerId, true});
    }
    out.push_back({id::kMarked, false});
    out.push_back({id::kTotal, false});
    out.push_back({id::kProgress, false});
    out.push_back({id::kClock, true});
    out.push_back({id::kLevelTitle, true});
    for (int levelId : id::kLevelButtons) {
        out.push_back({levelId, true});
    }
    return out;
}

TEST_F(EngineTest, DialogOpensOnLevelOneWithoutADrill)
{
    EXPECT_EQ(session().currentWord, -1);
    EXPECT_EQ(session().levelNumber, 1);
    EXPECT_EQ(engine.levelTitle().text, u"       French Vocabulary (1 - 50)");
    EXPECT_EQ(window.invalidations, (std::vector<RecordingWindow::Invalidation> {{id::kLevelTitle, true}}));
    EXPECT_EQ(engine.words()[1000].french, kWordList[999].french);
    EXPECT_FALSE(window.timerRunning);
}

TEST_F(EngineTest, StartPractiseBeginsAfreshOnTheLevelsFirstWord)
{
    // Leftovers of an earlier drill elsewhere in the table.
    engine.words()[1000].correct = 1;
    engine.words()[1000].pending = 0;
    engine.marked().marks[7] = 2;
    window.invalidations.clear();

    engine.StartDrill();

    EXPECT_TRUE(window.timerRunning);
    EXPECT_EQ(window.selectedTab, 0);
    EXPECT_FALSE(window.IsShown(id::kResultsList));
    EXPECT_TRUE(window.IsShown(id::kAnswerLog));
    EXPECT_EQ(window.ensureVisible[id::kAnswerLog], 1);
    EXPECT_EQ(session().currentWord, 1);
    EXPECT_EQ(session().tries, 0);
    EXPECT_EQ(session().speedMode, 0);
    EXPECT_EQ(session().startTime, window.now);
    EXPECT_EQ(engine.progress().credit, 0);
    EXPECT_EQ(engine.progress().creditMax, 50);
    EXPECT_EQ(engine.marked().marks[7], 0);
    EXPECT_EQ(engine.words()[1000].correct, 0);
    EXPECT_EQ(engine.words()[1000].pending, 1);
    EXPECT_EQ(window.texts[id::kWordDisplay], engine.words()[1].french);
    EXPECT_EQ(window.texts[ids::main::kAnswers[static_cast<std::size_t>(session().answerSlot)]],
              engine.words()[1].english);

    std::vector<RecordingWindow::Invalidation> expected {{id::kMarked, true}};
    const auto repaint = Repaint();
    expected.insert(expected.end(), repaint.begin(), repaint.end());
    expected.push_back({id::kProgress, false});
    EXPECT_EQ(window.invalidations, expected);
}

struct OrderCase
{
    const char *name;
    std::map<int, int> wrongAnswers;
    std::vector<int> order;
};

void PrintTo(const OrderCase &c, std::ostream *os)
{
    *os << c.name;
}

class PractiseOrder : public EngineTest, public ::testing::WithParamInterface<OrderCase>
{
};

TEST_P(PractiseOrder, AsksUntilEveryWordWasLastAnsweredRight)
{
    const OrderCase &c = GetParam();
    engine.StartDrill();
    const std::vector<int> asked = RunPractise(c.wrongAnswers);

    EXPECT_EQ(asked, c.order);
    int wrongs = 0;
    for (const auto &[position, count] : c.wrongAnswers) {
        wrongs += count;
    }
    EXPECT_EQ(session().tries, static_cast<int>(c.order.size()));
    EXPECT_EQ(session().correctCount, static_cast<int>(c.order.size()) - wrongs);
    for (int p = 1; p <= 50; ++p) {
        EXPECT_EQ(engine.marked().marks[static_cast<std::size_t>(p)], 1) << "position " << p;
    }
    EXPECT_EQ(session().currentWord, -1);
    EXPECT_FALSE(window.timerRunning);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, PractiseOrder,
    ::testing::Values(OrderCase {"AllRight", {}, Positions(1, 50)},
                      OrderCase {"WrongAtTen", {{10, 1}}, Positions(1, 48, {10, 49, 50})},
                      // The last word comes back at once.
                      OrderCase {"WrongAtTheLast", {{50, 1}}, Positions(1, 50, {50})},
                      // The word before the last is reached only by a scan.
                      OrderCase {"WrongAtFortyNine", {{49, 1}}, Positions(1, 48, {49, 49, 50})},
                      // While 10 is pending the last word is asked again, though right.
                      OrderCase {"WrongAtTenFourTimes", {{10, 4}}, Positions(1, 48, {10, 49, 10, 50, 10, 50, 10})}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(EngineTest, AnswerIsJudgedByPosition)
{
    for (const bool right : {true, false}) {
        SCOPED_TRACE(right ? "right" : "wrong");
        engine.StartDrill();
        const int slot = session().answerSlot;
        const int clicked = right ? slot : (slot + 1) % 4;
        engine.AnswerClicked(clicked);

        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(engine.answerFace(k).showRight, right && k == slot ? 1 : 0);
            EXPECT_EQ(engine.answerFace(k).showWrong, !right && k == clicked ? 1 : 0);
        }
        const WordEntry &word = engine.words()[1];
        EXPECT_EQ(window.List(id::kAnswerLog).front(),
                  right ? u" Correct" : u"Incorrect: " + word.french + u" --- " + word.english);
        EXPECT_EQ(engine.marked().marks[1], right ? 1 : 2);
        EXPECT_EQ(word.correct, right ? 1 : 0);
        EXPECT_EQ(word.pending, right ? 0 : 1);
        EXPECT_EQ(engine.progress().credit, right ? 20 : 0);
        EXPECT_EQ(session().tries, 1);
        EXPECT_EQ(session().correctCount, right ? 1 : 0);
    }
}

TEST_F(EngineTest, PauseHoldsTheQuestionAndIgnoresClicks)
{
    struct Case
    {
        bool right;
        int ticks;
    };
    for (const Case c : {Case {true, 3}, Case {false, 6}}) {
        SCOPED_TRACE(c.right ? "right" : "wrong");
        engine.StartDrill();
        c.right ? Right() : Wrong();
        const auto logRows = window.List(id::kAnswerLog).size();
        for (int k = 0; k < 4; ++k) {
            engine.AnswerClicked(k);
        }
        Tick(c.ticks - 1);
        EXPECT_EQ(session().currentWord, 1);
        EXPECT_EQ(session().tries, 1);
        EXPECT_EQ(window.List(id::kAnswerLog).size(), logRows);

        Tick();
        EXPECT_EQ(session().currentWord, 2);
        EXPECT_EQ(session().answerPause, 0);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(engine.answerFace(k).showRight + engine.answerFace(k).showWrong, 0);
        }
    }
}

TEST_F(EngineTest, RestartDuringAPauseAsksTheFirstWordAfresh)
{
    for (const bool review : {false, true}) {
        SCOPED_TRACE(review ? "from Review" : "from a pause");
        engine.StartDrill();
        Wrong();
        if (review) {
            engine.StartReview(); // freezes the pause
        }
        engine.SelectLevel(2);
        Tick(10);
        EXPECT_EQ(session().currentWord, 51); // not skipped by the old pause
        Right();
        EXPECT_EQ(session().tries, 1);
    }
}

TEST_F(EngineTest, ClicksWithoutADrillAreIgnored)
{
    auto clickAll = [&] {
        const auto invalidations = window.invalidations.size();
        const int tries = session().tries;
        const auto logRows = window.List(id::kAnswerLog).size();
        for (int k = 0; k < 4; ++k) {
            engine.AnswerClicked(k);
        }
        EXPECT_EQ(window.invalidations.size(), invalidations);
        EXPECT_EQ(session().tries, tries);
        EXPECT_EQ(window.List(id::kAnswerLog).size(), logRows);
    };
    clickAll(); // before the first drill
    engine.StartDrill();
    RunPractise();
    clickAll(); // after it finished
}

TEST_F(EngineTest, ClicksOutsideTheFourButtonsAreIgnored)
{
    engine.StartDrill();
    for (int k : {-1, 4, 1000}) {
        engine.AnswerClicked(k);
    }
    EXPECT_EQ(session().tries, 0);
    EXPECT_EQ(session().answerPause, 0);
}

TEST_F(EngineTest, PractiseCreditFillsToTheCapAndDrainsWithoutEndingTheDrill)
{
    engine.StartDrill();
    Tick(5);
    EXPECT_EQ(engine.progress().credit, 0);
    for (int i = 0; i < 4; ++i) {
        Right();
        TicksToNextQuestion();
        EXPECT_LE(engine.progress().credit, engine.progress().creditMax);
    }
    EXPECT_EQ(engine.progress().credit, 47); // capped at 50 after the third, then 50 - 3
    Tick(60);
    EXPECT_EQ(engine.progress().credit, 0);
    EXPECT_EQ(session().currentWord, 5);
    EXPECT_TRUE(window.timerRunning);
}

TEST_F(EngineTest, FinishedPractiseIsListedStoredAndShown)
{
    engine.StartDrill();
    RunPractise(); // one second per answer: 50 s
    const std::u16string line = u"  00 mins, 50 secs Tries :50";

    EXPECT_EQ(window.selectedTab, 1);
    EXPECT_TRUE(window.IsShown(id::kResultsList));
    EXPECT_FALSE(window.IsShown(id::kAnswerLog));
    EXPECT_EQ(window.List(id::kResultsList), (std::vector<std::u16string> {line}));
    EXPECT_EQ(store().GetProfileString(kResultsSection, "Result1_1", u""), line);
    EXPECT_EQ(store().GetProfileInt(kResultsSection, "BestResult1", 0), 50);
    EXPECT_EQ(window.texts[id::kWordDisplay], u"Complete " + line);
    for (int answerId : id::kAnswers) {
        EXPECT_EQ(window.texts[answerId], u" - ");
    }
    // The last verdict stays painted until the next question.
    EXPECT_EQ(engine.answerFace(session().answerSlot).showRight, 1);
    EXPECT_EQ(engine.clock().text, u"   00 : 50");
    EXPECT_FALSE(counting.foreignSection);
}

TEST_F(EngineTest, ResultsAreNumberedByTheListedRows)
{
    store().WriteProfileString(kResultsSection, "Result5_1", u"first");
    store().WriteProfileString(kResultsSection, "Result5_2", u"second");
    store().WriteProfileString(kResultsSection, "Result5_4", u"beyond the gap");

    engine.SelectLevel(5);
    EXPECT_EQ(window.List(id::kResultsList), (std::vector<std::u16string> {u"second", u"first"}));

    RunPractise();
    const std::u16string third = store().GetProfileString(kResultsSection, "Result5_3", u"");
    EXPECT_FALSE(third.empty());
    EXPECT_EQ(window.List(id::kResultsList).front(), third);
    EXPECT_EQ(window.List(id::kResultsList).size(), 3u);

    // A second drill without selecting again takes the next number.
    engine.StartDrill();
    RunPractise({{3, 1}});
    EXPECT_EQ(store().GetProfileString(kResultsSection, "Result5_4", u""), window.List(id::kResultsList).front());
}

TEST_F(EngineTest, BestResultOnlyForStrictlyFewerTries)
{
    struct Case
    {
        int stored; // 0: none stored
        int wrongs; // tries = 50 + wrongs
        int best;
        int writes;
    };
    const Case cases[] = {{0, 0, 50, 1}, {51, 1, 51, 0}, {52, 1, 51, 1}, {50, 1, 50, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored);
        TempProfile fresh;
        CountingStore spy(fresh.store());
        DrillEngine other(window, spy);
        other.InitDialogState();
        if (c.stored != 0) {
            fresh.store().WriteProfileInt(kResultsSection, "BestResult1", c.stored);
        }
        other.StartDrill();
        bool wrongDone = c.wrongs == 0;
        while (other.session().currentWord != -1) {
            const int slot = other.session().answerSlot;
            other.AnswerClicked(wrongDone ? slot : (slot + 1) % 4);
            wrongDone = true;
            while (other.session().answerPause > 0) {
                other.OnDrillTimer();
            }
        }
        EXPECT_EQ(other.session().tries, 50 + c.wrongs);
        EXPECT_EQ(fresh.store().GetProfileInt(kResultsSection, "BestResult1", 999), c.best);
        EXPECT_EQ(spy.WritesTo("BestResult1"), c.writes);
    }
}

// Questions as the learner sees them: asked word, right position, captions.
struct Layout
{
    int word;
    int slot;
    std::vector<std::u16string> captions;
    bool operator==(const Layout &) const = default;
};

TEST_F(EngineTest, EqualSeedsGiveEqualQuestions)
{
    auto run = [&](std::int64_t start) {
        window.now = start;
        engine.StartDrill();
        std::vector<Layout> layouts;
        for (int i = 0; i < 30; ++i) {
            std::vector<std::u16string> captions;
            for (int answerId : id::kAnswers) {
                captions.push_back(window.texts[answerId]);
            }
            layouts.push_back({session().currentWord, session().answerSlot, captions});
            i % 7 == 3 ? Wrong() : Right();
            TicksToNextQuestion();
        }
        return layouts;
    };
    const auto first = run(1'700'000'000);
    EXPECT_EQ(run(1'700'000'000), first);
    EXPECT_NE(run(1'700'000'001), first);
}

TEST_F(EngineTest, SeedIsTheLowHalfOfTheClock)
{
    // Seed 1 draws 41, 18467, 6334, 26500, 19169: right answer on button 1,
    // then words 10, 40 and 29 on buttons 2, 3 and 4.
    window.now = (std::int64_t {1} << 32) + 1;
    engine.StartDrill();
    EXPECT_EQ(session().answerSlot, 0);
    EXPECT_EQ(window.texts[id::kAnswer1], engine.words()[1].english);
    EXPECT_EQ(window.texts[id::kAnswer2], engine.words()[10].english);
    EXPECT_EQ(window.texts[id::kAnswer3], engine.words()[40].english);
    EXPECT_EQ(window.texts[id::kAnswer4], engine.words()[29].english);
}

TEST_F(EngineTest, WrongChoicesAreDistinctWordsOfTheLevelButNeverItsLast)
{
    engine.SelectLevel(2); // words 51..100
    std::set<int> offered;
    std::set<int> slotsSeen;
    for (int seed = 0; seed < 40; ++seed) {
        window.now = seed;
        engine.StartDrill();
        // Tag every meaning so a caption names its word, whatever the list says.
        for (int w = 1; w <= 1000; ++w) {
            engine.words()[w].english = U(std::to_string(w));
        }
        for (int w = 51; w <= 100; ++w) {
            engine.AskQuestion(w);
            const int slot = session().answerSlot;
            slotsSeen.insert(slot);
            std::set<int> wrong;
            for (int k = 0; k < 4; ++k) {
                const std::u16string &caption = window.texts[ids::main::kAnswers[static_cast<std::size_t>(k)]];
                const int shown = std::stoi(std::string(caption.begin(), caption.end()));
                if (k == slot) {
                    EXPECT_EQ(shown, w);
                    continue;
                }
                EXPECT_NE(shown, w);
                EXPECT_GE(shown, 51);
                EXPECT_LE(shown, 99);
                wrong.insert(shown);
            }
            EXPECT_EQ(wrong.size(), 3u);
            offered.insert(wrong.begin(), wrong.end());
        }
    }
    EXPECT_EQ(slotsSeen.size(), 4u);
    EXPECT_EQ(offered.size(), 49u); // 51..99: all but the last word
}

TEST_F(EngineTest, SelectingALevelReloadsItsResultsAndStartsAFreshDrill)
{
    store().WriteProfileString(kResultsSection, "Result3_1", u"old line");
    engine.StartDrill();
    Right();
    TicksToNextQuestion();
    window.invalidations.clear();

    engine.SelectLevel(3);
    EXPECT_EQ(session().firstWord, 101);
    EXPECT_EQ(session().lastWord, 150);
    EXPECT_EQ(session().levelNumber, 3);
    EXPECT_EQ(engine.levelTitle().text, u"       French Vocabulary (101 - 150)");
    ASSERT_GE(window.invalidations.size(), 2u);
    EXPECT_EQ(window.invalidations[0], (RecordingWindow::Invalidation {id::kLevelTitle, true}));
    EXPECT_EQ(window.List(id::kResultsList), (std::vector<std::u16string> {u"old line"}));
    EXPECT_EQ(session().currentWord, 101);
    EXPECT_EQ(session().tries, 0);
    // The abandoned drill stored nothing.
    EXPECT_TRUE(store().GetProfileString(kResultsSection, "Result1_1", u"").empty());

    // The same level again reloads and restarts.
    window.lists[id::kResultsList].push_back(u"stray");
    engine.SelectLevel(101, 150, 3, u"       French Vocabulary (101 - 150)");
    EXPECT_EQ(window.List(id::kResultsList), (std::vector<std::u16string> {u"old line"}));
    EXPECT_EQ(session().currentWord, 101);
}

} // namespace
