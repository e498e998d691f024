#include "records/reset_times.h"

#include "records/high_score_table.h"
#include "records/profile_keys.h"
#include "tests/drill/engine_fixture.h"

#include <tuple>

namespace {

using namespace profile_keys;

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
