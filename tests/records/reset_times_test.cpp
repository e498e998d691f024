#include "records/reset_times.h"

#include "records/high_score_table.h"
#include "records/profile_keys.h"
#include "res/control_ids.h"
#include "tests/drill/recording_window.h"
#include "tests/support/temp_profile.h"

#include <gtest/gtest.h>

namespace {

namespace id = ids::main;

class ResetTimesTest : public ::testing::Test
{
protected:
    ResetTimesTest()
    {
        ProfileStore &s = profile.store();
        for (int level : {1, 7, 20}) {
            for (int n = 1; n <= 3; ++n) {
                s.WriteProfileString(kResultsSection, profile_keys::Result(level, n), u"line");
            }
            s.WriteProfileInt(kResultsSection, profile_keys::BestResult(level), 55);
        }
        for (int r = 0; r < HighScoreTable::kRows; ++r) {
            s.WriteProfileInt(kResultsSection, profile_keys::Span(r), 30 + r);
            s.WriteProfileInt(kResultsSection, profile_keys::Correct(r), 40 - r);
            s.WriteProfileInt(kResultsSection, profile_keys::Tries(r), 50);
            s.WriteProfileString(kResultsSection, profile_keys::Title(r), u"name");
        }
    }
    int Int(const std::string &key) { return profile.store().GetProfileInt(kResultsSection, key, -7); }
    std::u16string Text(const std::string &key)
    {
        return profile.store().GetProfileString(kResultsSection, key, u"absent");
    }

    // Plays one all-right practise drill to its end.
    static void FinishDrill(DrillEngine &engine)
    {
        engine.StartDrill();
        while (engine.session().currentWord != -1) {
            engine.AnswerClicked(engine.session().answerSlot);
            while (engine.session().answerPause > 0) {
                engine.OnDrillTimer();
            }
        }
    }

    TempProfile profile;
    RecordingWindow window;
};

TEST_F(ResetTimesTest, NoKeepsEverything)
{
    window.answerYes = false;
    EXPECT_FALSE(ResetTimes(profile.store(), window, nullptr));
    ASSERT_EQ(window.questions.size(), 1u);
    EXPECT_EQ(window.questions[0], u"Are You sure you want to reset your times?");
    EXPECT_EQ(Text("Result7_3"), u"line");
    EXPECT_EQ(Int("BestResult7"), 55);
    EXPECT_EQ(Int("Correct14"), 26);
    EXPECT_EQ(Text("Title0"), u"name");
}

TEST_F(ResetTimesTest, YesClearsResultsBestsAndHighScores)
{
    window.answerYes = true;
    EXPECT_TRUE(ResetTimes(profile.store(), window, nullptr));
    for (int level = 1; level <= 20; ++level) {
        EXPECT_EQ(Int(profile_keys::BestResult(level)), 999) << "level " << level; // stored, not absent
    }
    for (int level : {1, 7, 20}) {
        for (int n = 1; n <= 3; ++n) {
            EXPECT_EQ(Text(profile_keys::Result(level, n)), u"absent"); // empty reads as absent
        }
    }
    for (int r = 0; r < HighScoreTable::kRows; ++r) {
        EXPECT_EQ(Int(profile_keys::Span(r)), 0);
        EXPECT_EQ(Int(profile_keys::Correct(r)), 0);
        EXPECT_EQ(Int(profile_keys::Tries(r)), 0);
        EXPECT_EQ(Text(profile_keys::Title(r)), u"absent");
    }
    // The next High Scores view is empty.
    HighScoreTable table(profile.store());
    table.SetCandidate(-1, -1, -1);
    table.LoadAndMerge();
    for (const auto &row : table.ShowRows()) {
        EXPECT_EQ(row.scoreText, u"-");
    }
}

TEST_F(ResetTimesTest, MainWindowFollowsTheReset)
{
    DrillEngine engine(window, profile.store());
    engine.InitDialogState();
    engine.SelectLevel(7);
    ASSERT_EQ(window.List(id::kResultsList).size(), 3u);
    window.invalidations.clear();

    window.answerYes = true;
    ASSERT_TRUE(ResetTimes(profile.store(), window, &engine));

    EXPECT_TRUE(window.List(id::kResultsList).empty());
    std::vector<RecordingWindow::Invalidation> repaint;
    for (int levelId : id::kLevelButtons) {
        repaint.push_back({levelId, true});
    }
    repaint.push_back({id::kTotal, false});
    EXPECT_EQ(window.invalidations, repaint);

    // The next result is the level's first again and is listed on reload.
    FinishDrill(engine);
    const std::u16string line = Text("Result7_1");
    EXPECT_NE(line, u"absent");
    EXPECT_EQ(Text("Result7_4"), u"absent");
    engine.SelectLevel(7);
    EXPECT_EQ(window.List(id::kResultsList), (std::vector<std::u16string> {line}));
}

TEST_F(ResetTimesTest, NoLeavesTheMainWindowAlone)
{
    DrillEngine engine(window, profile.store());
    engine.InitDialogState();
    engine.SelectLevel(7);
    window.invalidations.clear();
    EXPECT_FALSE(ResetTimes(profile.store(), window, &engine));
    EXPECT_EQ(window.List(id::kResultsList).size(), 3u);
    EXPECT_TRUE(window.invalidations.empty());
}

} // namespace
