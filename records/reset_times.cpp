#include "records/reset_times.h"

#include "records/high_score_table.h"
#include "records/profile_keys.h"
#include "vocab/level.h"

bool ResetTimes(ProfileStore &store, WindowServices &window, DrillEngine *mainWindow)
{
    if (!window.AskYesNo(u"Are You sure you want to reset your times?")) {
        return false;
    }
    // One generation of undo: the whole profile as it was before the reset.
    store.KeepCopy(".before-reset");
    for (int level = 1; level <= Level::kCount; ++level) {
        // A level's list is the run of non-empty lines from 1 on.
        for (int n = 1; !store.GetProfileString(kResultsSection, profile_keys::Result(level, n), u"").empty(); ++n) {
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
    if (mainWindow != nullptr) {
        mainWindow->AfterTimesReset();
    }
    return true;
}
