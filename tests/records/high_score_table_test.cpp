#include "records/high_score_table.h"

#include "records/profile_keys.h"
#include "tests/drill/counting_store.h"
#include "tests/support/temp_profile.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using profile_keys::Correct;
using profile_keys::Span;
using profile_keys::Title;
using profile_keys::Tries;

class HighScoreTableTest : public ::testing::Test
{
protected:
    // Rows 0.. with the given right answers; tries = correct + 1, span = 100 + row.
    void Store(const std::vector<int> &corrects)
    {
        ProfileStore &s = profile.store();
        for (int r = 0; r < static_cast<int>(corrects.size()); ++r) {
            s.WriteProfileInt(kResultsSection, Span(r), 100 + r);
            s.WriteProfileInt(kResultsSection, Correct(r), corrects[static_cast<std::size_t>(r)]);
            s.WriteProfileInt(kResultsSection, Tries(r), corrects[static_cast<std::size_t>(r)] + 1);
            s.WriteProfileString(kResultsSection, Title(r), u"row" + std::u16string(1, char16_t(u'a' + r)));
        }
    }
    HighScoreTable Open(std::int64_t span, int correct, int tries)
    {
        HighScoreTable table(counting);
        table.SetCandidate(span, correct, tries);
        table.LoadAndMerge();
        return table;
    }
    int Stored(const std::string &key) { return profile.store().GetProfileInt(kResultsSection, key, -12345); }

    TempProfile profile;
    CountingStore counting {profile.store()};
};

TEST_F(HighScoreTableTest, FirstRunEntersAnEmptyTableAtTheTop)
{
    HighScoreTable table = Open(60, 12, 15);
    EXPECT_EQ(table.insertRow(), 0);
    EXPECT_EQ(counting.writes.size(), 60u);
    for (int r = 0; r < HighScoreTable::kRows; ++r) {
        EXPECT_EQ(counting.WritesTo(Span(r)), 1);
        EXPECT_EQ(counting.WritesTo(Title(r)), 1);
    }
    EXPECT_EQ(Stored("Correct0"), 12);
    EXPECT_EQ(Stored("Span0"), 60);
    EXPECT_EQ(Stored("Correct1"), 0);

    const auto rows = table.ShowRows();
    EXPECT_EQ(rows[0].scoreText, u" 12 of 15 Correct in 60 seconds");
    EXPECT_TRUE(rows[0].enabled);
    EXPECT_TRUE(rows[0].title.empty());
    for (int r = 1; r < HighScoreTable::kRows; ++r) {
        EXPECT_EQ(rows[static_cast<std::size_t>(r)].scoreText, u"-");
        EXPECT_FALSE(rows[static_cast<std::size_t>(r)].enabled);
    }
}

TEST_F(HighScoreTableTest, TiesGoBelowAndTheBottomRowDrops)
{
    Store({20, 15, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 2, 1, 1});
    HighScoreTable table = Open(33, 15, 40);

    ASSERT_EQ(table.insertRow(), 3);
    const std::vector<int> expected {20, 15, 15, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 2, 1};
    for (int r = 0; r < HighScoreTable::kRows; ++r) {
        EXPECT_EQ(table.row(r).correct, expected[static_cast<std::size_t>(r)]) << "row " << r;
        EXPECT_EQ(Stored(Correct(r)), expected[static_cast<std::size_t>(r)]) << "row " << r;
    }
    EXPECT_EQ(table.row(3).span, 33);
    EXPECT_EQ(table.row(3).tries, 40);
    EXPECT_TRUE(table.row(3).title.empty());
    EXPECT_EQ(table.row(4).title, u"rowd"); // the former row 3
    EXPECT_EQ(table.row(14).title, u"rown"); // the former row 13; row 14 is gone
    EXPECT_EQ(Stored(Span(4)), 103);
}

TEST_F(HighScoreTableTest, UnrankedOrAbsentCandidatesWriteNothing)
{
    struct Case
    {
        const char *name;
        std::vector<int> rows;
        int correct;
    };
    const Case cases[] = {
        {"zero right answers into an empty table", {}, 0},
        {"tie with the bottom of a full table", {20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6}, 6},
        {"no candidate (About)", {20, 10}, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempProfile fresh;
        CountingStore spy(fresh.store());
        for (int r = 0; r < static_cast<int>(c.rows.size()); ++r) {
            fresh.store().WriteProfileInt(kResultsSection, Correct(r), c.rows[static_cast<std::size_t>(r)]);
        }
        HighScoreTable table(spy);
        table.SetCandidate(c.correct < 0 ? -1 : 50, c.correct, c.correct < 0 ? -1 : 9);
        table.LoadAndMerge();
        table.OnNameChange(u"x");

        EXPECT_EQ(table.insertRow(), -1);
        EXPECT_TRUE(spy.writes.empty());
        for (const auto &row : table.ShowRows()) {
            EXPECT_FALSE(row.enabled);
        }
    }
}

TEST_F(HighScoreTableTest, EveryKeystrokeStoresTheName)
{
    HighScoreTable table = Open(10, 3, 4);
    counting.writes.clear();
    table.OnNameChange(u"A");
    table.OnNameChange(u"Ab");
    table.OnNameChange(u"Abc");
    EXPECT_EQ(counting.writes, (std::vector<std::string> {"Title0", "Title0", "Title0"}));
    EXPECT_EQ(profile.store().GetProfileString(kResultsSection, "Title0", u""), u"Abc");
    EXPECT_EQ(table.ShowRows()[0].title, u"Abc");
    EXPECT_FALSE(counting.foreignSection);
}

TEST_F(HighScoreTableTest, EmptyRowKeepsItsTitleButShowsADash)
{
    profile.store().WriteProfileString(kResultsSection, "Title2", u"ghost");
    HighScoreTable table = Open(-1, -1, -1);
    const auto rows = table.ShowRows();
    EXPECT_EQ(rows[2].title, u"ghost");
    EXPECT_EQ(rows[2].scoreText, u"-");
}

TEST_F(HighScoreTableTest, SpansAreKeptAsTheirLowHalf)
{
    HighScoreTable table = Open((std::int64_t {1} << 32) + 5, 7, 8);
    EXPECT_EQ(Stored("Span0"), 5);

    profile.store().WriteProfileInt(kResultsSection, "Span0", -1);
    HighScoreTable reread = Open(-1, -1, -1);
    EXPECT_EQ(reread.row(0).span, 4294967295);
}

} // namespace
