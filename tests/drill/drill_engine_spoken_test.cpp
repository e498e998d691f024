#include "drill/spoken_text.h"
#include "tests/drill/engine_fixture.h"

#include <string>

namespace {

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
    EXPECT_EQ(SpokenText::Duration(1), u"1 second");
    EXPECT_EQ(SpokenText::Duration(60), u"1 minute");
    EXPECT_EQ(SpokenText::Duration(319), u"5 minutes 19 seconds");
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

} // namespace
