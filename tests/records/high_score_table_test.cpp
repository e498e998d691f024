#include "records/high_score_table.h"

#include "records/profile_keys.h"
#include "tests/support/memory_profile_store.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using namespace profile_keys;

class HighScoreTableTest : public ::testing::Test
{
protected:
    // Rows 0.. with the given right answers; tries = correct + 1, span = 100 + row.
    void Store(const std::vector<int> &corrects)
    {
        for (int r = 0; r < int(corrects.size()); ++r) {
            store.WriteProfileInt(kResultsSection, Span(r), 100 + r);
            store.WriteProfileInt(kResultsSection, Correct(r), corrects[std::size_t(r)]);
            store.WriteProfileInt(kResultsSection, Tries(r), corrects[std::size_t(r)] + 1);
            store.WriteProfileString(kResultsSection, Title(r), u"row" + std::u16string(1, char16_t(u'a' + r)));
        }
    }
    HighScoreTable Open(std::int64_t span, int correct, int tries)
    {
        store.writes.clear();
        HighScoreTable table(store);
        table.SetCandidate(span, correct, tries);
        table.LoadAndMerge();
        return table;
    }
    int Stored(const std::string &key) { return store.GetProfileInt(kResultsSection, key, -12345); }

    MemoryProfileStore store;
};

TEST_F(HighScoreTableTest, FirstRunEntersAnEmptyTableAtTheTopAndEveryKeystrokeStoresTheName)
{
    HighScoreTable table = Open(60, 12, 15);
    EXPECT_EQ(table.insertRow(), 0);
    std::vector<std::string> saved; // the whole table, once, top first
    for (int r = 0; r < HighScoreTable::kRows; ++r) {
        for (const std::string &key : {Span(r), Correct(r), Tries(r), Title(r)}) {
            saved.push_back("Results/" + key);
        }
    }
    EXPECT_EQ(store.writes, saved);
    EXPECT_EQ(store.records, 1) << "one record: never rows from two saves";
    EXPECT_EQ((std::vector {Stored("Correct0"), Stored("Span0"), Stored("Correct1")}), (std::vector {12, 60, 0}));
    const auto rows = table.ShowRows();
    EXPECT_EQ(rows[0].scoreText, u" 12 of 15 Correct in 60 seconds");
    EXPECT_TRUE(rows[0].enabled);
    EXPECT_TRUE(rows[0].title.empty());
    for (std::size_t r = 1; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r].scoreText, u"-");
        EXPECT_FALSE(rows[r].enabled);
    }

    store.writes.clear();
    for (const char16_t *text : {u"A", u"Ab", u"Abc"}) {
        table.OnNameChange(text);
    }
    EXPECT_EQ(store.writes, std::vector<std::string>(3, "Results/Title0"));
    EXPECT_EQ(store.records, 4);
    EXPECT_EQ(store.GetProfileString(kResultsSection, "Title0", u""), u"Abc");
    EXPECT_EQ(table.ShowRows()[0].title, u"Abc");
}

TEST_F(HighScoreTableTest, TiesGoBelowAndTheBottomRowDrops)
{
    Store({20, 15, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 2, 1, 1});
    HighScoreTable table = Open(33, 15, 40);

    ASSERT_EQ(table.insertRow(), 3);
    const std::vector<int> expected {20, 15, 15, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 2, 1};
    for (int r = 0; r < HighScoreTable::kRows; ++r) {
        EXPECT_EQ(table.row(r).correct, expected[std::size_t(r)]) << "row " << r;
        EXPECT_EQ(Stored(Correct(r)), expected[std::size_t(r)]) << "row " << r;
    }
    EXPECT_EQ(std::tuple(table.row(3).span, table.row(3).tries, table.row(3).title), std::tuple(33, 40, u""));
    EXPECT_EQ(table.row(4).title, u"rowd"); // the former row 3
    EXPECT_EQ(table.row(14).title, u"rown"); // the former row 13; row 14 is gone
    EXPECT_EQ(Stored(Span(4)), 103);
}

TEST_F(HighScoreTableTest, UnrankedOrAbsentCandidatesWriteNothing)
{
    auto expectNoEntry = [&](const char *name, int correct) {
        SCOPED_TRACE(name);
        HighScoreTable table = Open(correct < 0 ? -1 : 50, correct, correct < 0 ? -1 : 9);
        table.OnNameChange(u"x");
        EXPECT_EQ(table.insertRow(), -1);
        EXPECT_TRUE(store.writes.empty());
        for (const auto &row : table.ShowRows()) {
            EXPECT_FALSE(row.enabled);
        }
    };
    expectNoEntry("zero right answers into an empty table", 0);
    Store({20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6});
    expectNoEntry("tie with the bottom of a full table", 6);
    expectNoEntry("no candidate (About)", -1);
}

TEST_F(HighScoreTableTest, ReadBackKeepsAnEmptyRowsTitleAndSpansAsTheirLowHalf)
{
    Open((std::int64_t {3} << 31) + 5, 7, 8); // low half 0x80000005
    EXPECT_EQ(Stored("Span0"), -0x7FFFFFFB);

    store.WriteProfileString(kResultsSection, "Title2", u"ghost");
    const HighScoreTable table = Open(-1, -1, -1);
    EXPECT_EQ(table.row(0).span, 0x80000005);
    EXPECT_EQ(std::tuple(table.ShowRows()[2].title, table.ShowRows()[2].scoreText), std::tuple(u"ghost", u"-"));
}

} // namespace
