#include "records/high_score_table.h"
#include "records/profile_keys.h"
#include "records/reset_times.h"
#include "tests/drill/engine_fixture.h"

#include <tuple>
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

// Unranked or absent candidates write nothing; the first ranked one enters an empty table at the top.
TEST_F(HighScoreTableTest, FirstRunEntersAnEmptyTableAtTheTopAndEveryKeystrokeStoresTheName)
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

    for (int r = 0; r < HighScoreTable::kRows; ++r) {
        store.WriteProfileInt(kResultsSection, Correct(r), 20 - r);
    }
    expectNoEntry("tie with the bottom of a full table", 6);
    expectNoEntry("no candidate (About)", -1);
}

// Results on three levels and a full high-score table; level 7 selected.
class ResetTimesTest : public EngineTest
{
protected:
    ResetTimesTest()
    {
        for (int level : {1, 7, 20}) {
            for (int n = 1; n <= 3; ++n) {
                store.WriteProfileString(kResultsSection, Result(level, n), u"line");
            }
            store.WriteProfileInt(kResultsSection, BestResult(level), 55);
        }
        for (int r = 0; r < HighScoreTable::kRows; ++r) {
            store.WriteProfileInt(kResultsSection, Span(r), 30 + r);
            store.WriteProfileInt(kResultsSection, Correct(r), 40 - r);
            store.WriteProfileInt(kResultsSection, Tries(r), 50);
            store.WriteProfileString(kResultsSection, Title(r), u"name");
        }
        engine.SelectLevel(7);
        window.invalidations.clear();
    }
    int Int(const std::string &key) { return store.GetProfileInt(kResultsSection, key, -7); }
    std::u16string Text(const std::string &key) { return store.GetProfileString(kResultsSection, key, u"absent"); }
};

// A reset without its undo copy would lose the results for good: it clears
// nothing then.
TEST_F(ResetTimesTest, ClearsEverythingAsOneRecordAfterKeepingACopyAndTheMainWindowFollows)
{
    const auto before = store.values;
    const int records = store.records;
    store.copyFails = true;
    EXPECT_FALSE(ResetTimes(store));
    EXPECT_EQ(std::tuple(store.values, store.records), std::tuple(before, records));
    store.copyFails = false;

    EXPECT_TRUE(ResetTimes(store));
    EXPECT_EQ(store.records, records + 1) << "one record, not 80 + N";
    for (int level = 1; level <= 20; ++level) {
        EXPECT_EQ(Int(BestResult(level)), 999) << "level " << level; // stored, not absent
        for (int n = 1; n <= 3; ++n) {
            EXPECT_EQ(Text(Result(level, n)), u"absent"); // empty reads as absent
        }
    }
    for (int r = 0; r < HighScoreTable::kRows; ++r) {
        EXPECT_EQ((std::vector {Int(Span(r)), Int(Correct(r)), Int(Tries(r))}), (std::vector {0, 0, 0}));
        EXPECT_EQ(Text(Title(r)), u"absent");
    }
    EXPECT_EQ(store.copies, (decltype(store.copies) {{".before-reset", before}}));

    // A second reset finds nothing to keep and leaves the learner's copy alone.
    ResetTimes(store);
    EXPECT_EQ(store.copies.at(".before-reset"), before);

    engine.AfterTimesReset();
    EXPECT_TRUE(window.List(id::kResultsList).empty());
    Invalidations repaint;
    for (int levelId : id::kLevelButtons) {
        repaint.push_back({levelId, true});
    }
    repaint.push_back({id::kTotal, false});
    EXPECT_EQ(window.invalidations, repaint);
}

} // namespace
