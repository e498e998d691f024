#include "records/reset_times.h"

#include "records/high_score_table.h"
#include "records/profile_keys.h"
#include "vocab/level.h"

#include <string>
#include <vector>

namespace {

// The stored result lines of a level: the run of non-empty ones from 1 on.
int StoredLines(const ProfileStore &store, int level)
{
    int n = 0;
    while (!store.GetProfileString(kResultsSection, profile_keys::Result(level, n + 1), u"").empty()) {
        ++n;
    }
    return n;
}

} // namespace

bool ResetTimes(ProfileStore &store)
{
    const ProfileStore::WriteGroup record(store);
    std::vector<int> lines(Level::kCount + 1, 0);
    bool holdsResults = false;
    for (int level = 1; level <= Level::kCount; ++level) {
        lines[static_cast<std::size_t>(level)] = StoredLines(store, level);
        holdsResults = holdsResults || lines[static_cast<std::size_t>(level)] > 0
            || store.GetProfileInt(kResultsSection, profile_keys::BestResult(level), profile_keys::kNoBestResult)
                != profile_keys::kNoBestResult;
    }
    for (int r = 0; r < HighScoreTable::kRows; ++r) {
        holdsResults = holdsResults || store.GetProfileInt(kResultsSection, profile_keys::Correct(r), 0) > 0;
    }
    if (holdsResults && !store.KeepCopy(".before-reset")) {
        return false;
    }

    for (int level = 1; level <= Level::kCount; ++level) {
        for (int n = 1; n <= lines[static_cast<std::size_t>(level)]; ++n) {
            store.WriteProfileString(kResultsSection, profile_keys::Result(level, n), u"");
        }
        store.WriteProfileInt(kResultsSection, profile_keys::BestResult(level), profile_keys::kNoBestResult);
    }
    for (int r = 0; r < HighScoreTable::kRows; ++r) {
        store.WriteProfileInt(kResultsSection, profile_keys::Span(r), 0);
        store.WriteProfileInt(kResultsSection, profile_keys::Correct(r), 0);
        store.WriteProfileInt(kResultsSection, profile_keys::Tries(r), 0);
        store.WriteProfileString(kResultsSection, profile_keys::Title(r), u"");
    }
    return true;
}
