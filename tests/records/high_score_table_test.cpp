#include "records/high_score_table.h"

#include "records/profile_keys.h"
#include "tests/support/memory_profile_store.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace profile_keys;

class HighScoreTableTest : public ::testing::Test
{
protected:
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
    HighScoreTable table = Open((std::int64_t {3} << 31) + 60, 12, 15); // spans are kept as their low half
    EXPECT_EQ(table.insertRow(), 0);
    std::vector<std::string> saved; // the whole table, once, top first
    for (int r = 0; r < HighScoreTable::kRows; ++r) {
        for (const std::string &key : {Span(r), Correct(r), Tries(r), Title(r)}) {
            saved.push_back("Results/" + key);
        }
    }
    EXPECT_EQ(store.writes, saved);
    EXPECT_EQ(store.records, 1) << "one record: never rows from two saves";
    EXPECT_EQ((std::vector {Stored("Correct0"), Stored("Span0"), Stored("Correct1")}),
              (std::vector {12, -0x7FFFFFFF + 59, 0}));
    EXPECT_EQ(Open(-1, -1, -1).row(0).span, 0x80000000u + 60); // read back with a zero high half

    store.writes.clear();
    for (const char16_t *text : {u"A", u"Ab", u"Abc"}) {
        table.OnNameChange(text);
    }
    EXPECT_EQ(store.writes, std::vector<std::string>(3, "Results/Title0"));
    EXPECT_EQ(store.records, 4);
    EXPECT_EQ(store.GetProfileString(kResultsSection, "Title0", u""), u"Abc");
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
    for (int r = 0; r < HighScoreTable::kRows; ++r) {
        store.WriteProfileInt(kResultsSection, Correct(r), 20 - r);
    }
    expectNoEntry("tie with the bottom of a full table", 6);
    expectNoEntry("no candidate (About)", -1);
}

} // namespace
