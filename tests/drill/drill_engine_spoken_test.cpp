#include "drill/spoken_text.h"
#include "tests/drill/engine_fixture.h"
#include "vocab/level.h"

#include <algorithm>
#include <string>

namespace {

std::u16string Plain(const std::u16string &text)
{
    return SpokenText::Plain(text);
}

// What is spoken, built from the layout texts the word list holds.

TEST(SpokenTextTest, LayoutBlanksAndTabsAreNeverSpoken)
{
    EXPECT_EQ(SpokenText::Plain(u"\tdepuis\t "), u"depuis");
    EXPECT_EQ(SpokenText::Plain(u"    who,  whom   "), u"who, whom");
    EXPECT_EQ(SpokenText::Plain(u" \t \r\n"), u"");
    EXPECT_EQ(SpokenText::Question(u"     le   ", {u"    the", u"    not   ", u"   in  ", u"\tby\t"}),
              u"le. 1 the, 2 not, 3 in, 4 by");
    EXPECT_EQ(SpokenText::Question(u"le", {u"the", u"not", u"in", u"by"}, false), u"1 the, 2 not, 3 in, 4 by");
    EXPECT_EQ(SpokenText::Wrong(u"\tdepuis\t ", u"   from\t"), u"wrong: depuis means from");
    EXPECT_EQ(SpokenText::LogRow(true, u" le ", u" the "), u"Correct: le means the");
    EXPECT_EQ(SpokenText::LogRow(false, u" de ", u" of "), u"Incorrect: de means of");
}

TEST(SpokenTextTest, TimesAndCountsAreSaidInWords)
{
    EXPECT_EQ(SpokenText::Duration(0), u"0 seconds");
    EXPECT_EQ(SpokenText::Duration(1), u"1 second");
    EXPECT_EQ(SpokenText::Duration(60), u"1 minute");
    EXPECT_EQ(SpokenText::Duration(319), u"5 minutes 19 seconds");
    EXPECT_EQ(SpokenText::Duration(-5), u"0 seconds");
    EXPECT_EQ(SpokenText::SecondsLeft(1), u"1 second left");
    EXPECT_EQ(SpokenText::SpeedEnd(40, 0, 0), u"Time is up: 0 correct on 0 guesses in 40 seconds.");
    EXPECT_EQ(SpokenText::SpeedEnd(61, 1, 1), u"Time is up: 1 correct on 1 guess in 1 minute 1 second.");
    EXPECT_EQ(SpokenText::PractiseEnd(319, 53, 58),
              u"Practise complete: 5 minutes 19 seconds, 53 tries. New best result.");
    EXPECT_EQ(SpokenText::PractiseEnd(319, 53, 53),
              u"Practise complete: 5 minutes 19 seconds, 53 tries. The best result stays 53 tries.");
    EXPECT_EQ(SpokenText::PractiseEnd(30, 50, SpokenText::kNoBest),
              u"Practise complete: 30 seconds, 50 tries. New best result.");
}

TEST(SpokenTextTest, StoredResultLinesAreReadInWordsAndOtherLinesAsTheyAre)
{
    EXPECT_EQ(SpokenText::ResultLine(u"  05 mins, 19 secs Tries :53"), u"5 minutes 19 seconds, 53 tries");
    EXPECT_EQ(SpokenText::ResultLine(u"  120 mins, 00 secs Tries :1"), u"120 minutes, 1 try");
    // Edited by hand or by another program: read, never guessed at.
    EXPECT_EQ(SpokenText::ResultLine(u"  fast \t run 3"), u"fast run 3");
    EXPECT_EQ(SpokenText::ResultLine(u"  05 mins, 19 secs"), u"05 mins, 19 secs");
    EXPECT_EQ(SpokenText::ResultLine(u"99999999999999 mins, 1 secs Tries :2"), u"99999999999999 mins, 1 secs Tries :2");
}

// What the engine announces while a learner drills.

TEST_F(EngineTest, EachQuestionIsAnnouncedOnceWithItsChoicesAndEachAnswerWithItsVerdict)
{
    engine.StartDrill();
    const WordEntry &first = engine.words()[1];
    const Lines captions = Captions();
    ASSERT_EQ(window.announced.size(), 1u);
    EXPECT_EQ(window.announced[0],
              Plain(first.french) + u". 1 " + Plain(captions[0]) + u", 2 " + Plain(captions[1]) + u", 3 "
                  + Plain(captions[2]) + u", 4 " + Plain(captions[3]));

    Wrong();
    EXPECT_EQ(window.announced.back(), u"wrong: " + Plain(first.french) + u" means " + Plain(first.english));
    EXPECT_EQ(window.spokenRows[id::kAnswerLog].front(),
              u"Incorrect: " + Plain(first.french) + u" means " + Plain(first.english));
    TicksToNextQuestion();
    ASSERT_EQ(window.announced.size(), 3u);
    EXPECT_EQ(window.announced[2].substr(0, Plain(engine.words()[2].french).size() + 2),
              Plain(engine.words()[2].french) + u". ");

    Right();
    EXPECT_EQ(window.announced.back(), u"right");
    EXPECT_EQ(window.spokenRows[id::kAnswerLog].front(),
              u"Correct: " + Plain(engine.words()[2].french) + u" means " + Plain(engine.words()[2].english));
    // The pause says nothing more until the next question.
    window.announced.clear();
    Tick(2);
    EXPECT_TRUE(window.announced.empty());
}

TEST_F(EngineTest, TheFrenchWordCanBeLeftOutOfTheQuestionTheVerdictAndReview)
{
    engine.SetSpeakFrenchWord(false);
    engine.StartDrill();
    EXPECT_EQ(window.announced.at(0).substr(0, 2), u"1 ");
    EXPECT_EQ(window.announced.at(0).find(Plain(engine.words()[1].french) + u"."), std::u16string::npos);
    engine.StartReview();
    EXPECT_EQ(window.announced.back(), Plain(engine.words()[Level::kSize].english));
    engine.StartDrill();
    Wrong();
    EXPECT_EQ(window.announced.back(), u"wrong: it means " + Plain(engine.words()[1].english));
}

TEST_F(EngineTest, TheEndOfAPractiseSaysItsResultAndWhetherItIsANewBest)
{
    store.WriteProfileInt(kResultsSection, "BestResult1", 51);
    engine.SelectLevel(1);
    RunPractise({{3, 1}});
    EXPECT_EQ(window.announced.back(), u"Practise complete: 51 seconds, 51 tries. The best result stays 51 tries.");
    EXPECT_EQ(window.spokenRows[id::kResultsList].front(), u"51 seconds, 51 tries");

    engine.StartDrill();
    RunPractise();
    EXPECT_EQ(window.announced.back(), u"Practise complete: 50 seconds, 50 tries. New best result.");
    // Reloaded from the profile, the rows are read the same way.
    engine.ShowLevelResults();
    EXPECT_EQ(window.spokenRows[id::kResultsList], (Lines {u"50 seconds, 50 tries", u"51 seconds, 51 tries"}));
}

TEST_F(EngineTest, ASpeedChallengeSaysTheSecondsLeftAtSixAndThreeAndItsScoreBeforeTheTable)
{
    engine.StartSpeedChallenge();
    window.announced.clear();
    Lines cues;
    std::size_t spokenBeforeTable = 0;
    int ticks = 0;
    while (window.highScoreRuns.empty() && ticks < 100) {
        if (ticks > 0 && ticks % 5 == 0) {
            window.now += 1;
        }
        Tick();
        ++ticks;
        if (window.highScoreRuns.empty()) {
            spokenBeforeTable = window.announced.size();
        }
    }
    for (const std::u16string &text : window.announced) {
        if (text.ends_with(u" left")) {
            cues.push_back(text);
        }
    }
    EXPECT_EQ(cues, (Lines {u"6 seconds left", u"3 seconds left"}));
    ASSERT_FALSE(window.announced.empty());
    EXPECT_EQ(window.announced.back(), u"Time is up: 0 correct on 0 guesses in 10 seconds.");
    // Said before the table opened, not while it was open.
    EXPECT_EQ(spokenBeforeTable + 1, window.announced.size());
}

TEST_F(EngineTest, TheSecondsLeftAreNeverSaidUnaskedTwiceWithinThreeSeconds)
{
    const auto cues = [this] {
        Lines said;
        for (const std::u16string &text : window.announced) {
            if (text.ends_with(u" left")) {
                said.push_back(text);
            }
        }
        window.announced.clear();
        return said;
    };
    engine.StartSpeedChallenge();
    Tick(35);
    EXPECT_EQ(cues(), (Lines {u"6 seconds left", u"3 seconds left"}));
    // A right answer lifts the credit to 7 s: it falls through 6 s one second
    // after the "3", too soon to speak again, and through 3 s four seconds on.
    Right();
    Tick(25);
    EXPECT_EQ(cues(), (Lines {u"3 seconds left"}));
}

TEST_F(EngineTest, TheTimeKeySaysWhatFitsTheDrill)
{
    engine.AnnounceTime();
    EXPECT_EQ(window.announced.back(), u"No practise or speed challenge is running.");

    engine.StartDrill();
    Right();
    window.now += 65;
    engine.AnnounceTime();
    EXPECT_EQ(window.announced.back(), u"1 minute 5 seconds so far, 1 of 50 right");

    engine.StartSpeedChallenge();
    Tick(3); // 47 ticks: 9.4 s, said as 10 until the tenth second has begun to go
    engine.AnnounceTime();
    EXPECT_EQ(window.announced.back(), u"10 seconds left");
    Tick(47);
    engine.AnnounceTime();
    EXPECT_EQ(window.announced.back(), u"0 seconds left");
}

TEST_F(EngineTest, ReviewSaysEachWordWithItsMeaning)
{
    engine.StartDrill();
    engine.StartReview();
    const WordEntry &last = engine.words()[Level::kSize];
    EXPECT_EQ(window.announced.back(), Plain(last.french) + u" means " + Plain(last.english));
    engine.AnswerClicked(3);
    engine.AnswerClicked(3);
    EXPECT_EQ(window.announced.back(), Plain(engine.words()[2].french) + u" means " + Plain(engine.words()[2].english));
}

} // namespace
